#include "engine/Support/CCArray.h"

#include <cstdlib>
#include <cstring>

#include "engine/ccMacros.h"

// ---- ccArray ----------------------------------------------------------------

ccArray* ccArrayNew(uint32_t capacity) {
    if (capacity == 0) capacity = 1;
    ccArray* arr = static_cast<ccArray*>(std::malloc(sizeof(ccArray)));
    CCAssert(arr, "ccArrayNew: out of memory");
    arr->count = 0;
    arr->capacity = capacity;
    arr->items = static_cast<host::Object**>(std::malloc(capacity * sizeof(host::Object*)));
    CCAssert(arr->items, "ccArrayNew: out of memory");
    return arr;
}

void ccArrayFree(ccArray* arr) {
    if (!arr) return;
    ccArrayRemoveAllObjects(arr);
    std::free(arr->items);
    std::free(arr);
}

static void ccArrayRealloc(ccArray* arr, uint32_t capacity) {
    auto* items = static_cast<host::Object**>(std::realloc(arr->items, capacity * sizeof(host::Object*)));
    CCAssert(items, "ccArray: out of memory");
    arr->items = items;
    arr->capacity = capacity;
}

void ccArrayEnsureExtraCapacity(ccArray* arr, uint32_t extra) {
    uint64_t needed = uint64_t(arr->count) + extra;
    if (needed <= arr->capacity) return;
    uint64_t cap = arr->capacity ? arr->capacity : 1;
    while (cap < needed) cap *= 2;
    CCAssert(cap <= 0xFFFFFFFFu, "ccArray: capacity overflow");
    ccArrayRealloc(arr, uint32_t(cap));
}

void ccArrayShrink(ccArray* arr) {
    if (arr->count >= arr->capacity) return;
    uint32_t cap = arr->count ? arr->count : 1;
    if (cap == arr->capacity) return;
    ccArrayRealloc(arr, cap);
}

uint32_t ccArrayGetIndexOfObject(const ccArray* arr, const host::Object* obj) {
    for (uint32_t i = 0; i < arr->count; ++i)
        if (arr->items[i] == obj) return i;
    return CC_INVALID_INDEX;
}

bool ccArrayContainsObject(const ccArray* arr, const host::Object* obj) {
    return ccArrayGetIndexOfObject(arr, obj) != CC_INVALID_INDEX;
}

void ccArrayAppendObject(ccArray* arr, host::Object* obj) {
    CCAssert(obj, "ccArray: nil objects cannot be stored");
    CCAssert(arr->count < arr->capacity, "ccArrayAppendObject: no room left");
    obj->retain();
    arr->items[arr->count++] = obj;
}

void ccArrayAppendObjectWithResize(ccArray* arr, host::Object* obj) {
    ccArrayEnsureExtraCapacity(arr, 1);
    ccArrayAppendObject(arr, obj);
}

void ccArrayAppendArray(ccArray* arr, const ccArray* plusArr) {
    // Read the count first: appending an array to itself copies it once.
    uint32_t n = plusArr->count;
    for (uint32_t i = 0; i < n; ++i) ccArrayAppendObject(arr, plusArr->items[i]);
}

void ccArrayAppendArrayWithResize(ccArray* arr, const ccArray* plusArr) {
    ccArrayEnsureExtraCapacity(arr, plusArr->count);
    ccArrayAppendArray(arr, plusArr);
}

void ccArrayInsertObjectAtIndex(ccArray* arr, host::Object* obj, uint32_t index) {
    CCAssert(obj, "ccArray: nil objects cannot be stored");
    CCAssert(index <= arr->count, "ccArrayInsertObjectAtIndex: index out of range");
    ccArrayEnsureExtraCapacity(arr, 1);
    uint32_t tail = arr->count - index;
    if (tail) std::memmove(arr->items + index + 1, arr->items + index, tail * sizeof(host::Object*));
    obj->retain();
    arr->items[index] = obj;
    arr->count++;
}

void ccArrayRemoveAllObjects(ccArray* arr) {
    while (arr->count > 0) {
        host::Object* o = arr->items[--arr->count];
        o->release();
    }
}

void ccArrayRemoveObjectAtIndex(ccArray* arr, uint32_t index) {
    CCAssert(index < arr->count, "ccArrayRemoveObjectAtIndex: index out of range");
    host::Object* o = arr->items[index];
    arr->count--;
    uint32_t tail = arr->count - index;
    if (tail) std::memmove(arr->items + index, arr->items + index + 1, tail * sizeof(host::Object*));
    // Release after the array is consistent: the object's destructor may look at it.
    o->release();
}

void ccArrayFastRemoveObjectAtIndex(ccArray* arr, uint32_t index) {
    CCAssert(index < arr->count, "ccArrayFastRemoveObjectAtIndex: index out of range");
    host::Object* o = arr->items[index];
    uint32_t last = --arr->count;
    arr->items[index] = arr->items[last];
    o->release();
}

void ccArrayFastRemoveObject(ccArray* arr, host::Object* obj) {
    uint32_t i = ccArrayGetIndexOfObject(arr, obj);
    if (i != CC_INVALID_INDEX) ccArrayFastRemoveObjectAtIndex(arr, i);
}

void ccArrayRemoveObject(ccArray* arr, host::Object* obj) {
    uint32_t i = ccArrayGetIndexOfObject(arr, obj);
    if (i != CC_INVALID_INDEX) ccArrayRemoveObjectAtIndex(arr, i);
}

void ccArrayRemoveArray(ccArray* arr, const ccArray* minusArr) {
    for (uint32_t i = 0; i < minusArr->count; ++i) ccArrayRemoveObject(arr, minusArr->items[i]);
}

void ccArrayMakeObjectsPerformSelector(ccArray* arr, host::Selector<void()> sel) {
    for (uint32_t i = 0; i < arr->count; ++i) sel(arr->items[i]);
}

void ccArrayMakeObjectsPerformSelectorWithObject(ccArray* arr, host::Selector<void(host::Object*)> sel,
                                                 host::Object* object) {
    for (uint32_t i = 0; i < arr->count; ++i) sel(arr->items[i], object);
}

// ---- CCArray ------------------------------------------------------------------

CCArray* CCArray::array() { return host::create<CCArray>(); }

CCArray* CCArray::arrayWithCapacity(uint32_t capacity) {
    return host::create<CCArray>([&](CCArray* a) { return a->initWithCapacity(capacity); });
}

CCArray* CCArray::arrayWithArray(CCArray* other) {
    return host::create<CCArray>([&](CCArray* a) { return a->initWithArray(other); });
}

CCArray* CCArray::arrayWithNSArray(const NSArray& other) {
    return host::create<CCArray>([&](CCArray* a) { return a->initWithNSArray(other); });
}

bool CCArray::init() { return initWithCapacity(2); }

bool CCArray::initWithCapacity(uint32_t capacity) {
    if (data) ccArrayFree(data);
    data = ccArrayNew(capacity);
    return true;
}

bool CCArray::initWithArray(CCArray* other) {
    if (!initWithCapacity(other ? other->count() : 0)) return false;
    addObjectsFromArray(other);
    return true;
}

bool CCArray::initWithNSArray(const NSArray& other) {
    if (!initWithCapacity(uint32_t(other.size()))) return false;
    addObjectsFromNSArray(other);
    return true;
}

host::Ref<CCArray> CCArray::copy() const {
    NSArray items = getNSArray();
    return host::Ref<CCArray>::adopt(host::createOwned<CCArray>([&](CCArray* a) { return a->initWithNSArray(items); }));
}

CCArray::~CCArray() { ccArrayFree(data); }

host::Object* CCArray::randomObject() const {
    if (data->count == 0) return nullptr;
    double r = double(random()) / 2147483648.0;   // [0, 1)
    uint32_t i = uint32_t(double(data->count) * r);
    if (i >= data->count) i = data->count - 1;
    return data->items[i];
}

CCArray::NSArray CCArray::getNSArray() const { return NSArray(begin(), end()); }

void CCArray::addObject(host::Object* obj) { ccArrayAppendObjectWithResize(data, obj); }

void CCArray::addObjectsFromArray(CCArray* other) {
    if (other) ccArrayAppendArrayWithResize(data, other->data);
}

void CCArray::addObjectsFromNSArray(const NSArray& other) {
    ccArrayEnsureExtraCapacity(data, uint32_t(other.size()));
    for (host::Object* o : other) ccArrayAppendObject(data, o);
}

void CCArray::insertObject(host::Object* obj, uint32_t index) { ccArrayInsertObjectAtIndex(data, obj, index); }

void CCArray::removeObject(host::Object* obj) { ccArrayRemoveObject(data, obj); }
void CCArray::removeObjectAtIndex(uint32_t index) { ccArrayRemoveObjectAtIndex(data, index); }

void CCArray::removeObjectsInArray(CCArray* other) {
    if (!other) return;
    if (other == this) { removeAllObjects(); return; }
    ccArrayRemoveArray(data, other->data);
}

void CCArray::removeLastObject() {
    CCAssert(data->count > 0, "no objects added");
    ccArrayRemoveObjectAtIndex(data, data->count - 1);
}

void CCArray::removeAllObjects() { ccArrayRemoveAllObjects(data); }
void CCArray::fastRemoveObject(host::Object* obj) { ccArrayFastRemoveObject(data, obj); }
void CCArray::fastRemoveObjectAtIndex(uint32_t index) { ccArrayFastRemoveObjectAtIndex(data, index); }

void CCArray::exchangeObject(host::Object* a, host::Object* b) {
    uint32_t i = indexOfObject(a);
    if (i == CC_INVALID_INDEX) return;
    uint32_t j = indexOfObject(b);
    if (j == CC_INVALID_INDEX) return;
    exchangeObjectAtIndex(i, j);
}

void CCArray::exchangeObjectAtIndex(uint32_t i, uint32_t j) {
    CCAssert(i < data->count && j < data->count, "exchangeObjectAtIndex: index out of range");
    host::Object* t = data->items[i];
    data->items[i] = data->items[j];
    data->items[j] = t;
}

void CCArray::reverseObjects() {
    uint32_t n = data->count;
    if (n < 2) return;
    for (uint32_t i = 0; i < n / 2; ++i) exchangeObjectAtIndex(i, n - 1 - i);
}

void CCArray::makeObjectsPerformSelector(host::Selector<void()> sel) {
    ccArrayMakeObjectsPerformSelector(data, sel);
}

void CCArray::makeObjectsPerformSelector(host::Selector<void(host::Object*)> sel, host::Object* object) {
    ccArrayMakeObjectsPerformSelectorWithObject(data, sel, object);
}

void CCArray::reduceMemoryFootprint() { ccArrayShrink(data); }

std::string CCArray::description() const {
    std::string s = "<" + className() + " = " + host::addressString(this) + "> = ( ";
    for (host::Object* o : *this) s += o->description() + ", ";
    s += ")";
    return s;
}
