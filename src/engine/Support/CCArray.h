// CCArray: an ordered array of retained objects, and ccArray, the plain
// record behind it.
//
// Per-frame engine loops (children of a node, timers and actions of a
// target) walk `array->data->items` directly instead of calling methods per
// element; when the loop body may change the array they re-read `count` at
// every step. Searches compare by identity (pointer equality). Storage grows
// by doubling and never shrinks except through reduceMemoryFootprint().
#pragma once

#include <cstdint>
#include <vector>

#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"

// The index reported for an object that is not in an array.
#define CC_INVALID_INDEX 0x7FFFFFFFu

struct ccArray {
    uint32_t count;
    uint32_t capacity;       // at least 1
    host::Object** items;    // first `count` slots each hold one retain
};

// ---- plain C-style routines on ccArray ----------------------------------

// A new empty array with the given capacity (0 gives 1). Allocated with malloc.
ccArray* ccArrayNew(uint32_t capacity);
// Releases every element (last to first) and frees the storage and the record.
void ccArrayFree(ccArray* arr);
// Doubles the capacity until `extra` more elements fit.
void ccArrayEnsureExtraCapacity(ccArray* arr, uint32_t extra);
// Shrinks the capacity to the count (1 when empty).
void ccArrayShrink(ccArray* arr);
// First index of the object (identity), or CC_INVALID_INDEX.
uint32_t ccArrayGetIndexOfObject(const ccArray* arr, const host::Object* obj);
bool ccArrayContainsObject(const ccArray* arr, const host::Object* obj);
// Appends and retains; the capacity must already allow it.
void ccArrayAppendObject(ccArray* arr, host::Object* obj);
// Appends and retains, growing the storage when needed.
void ccArrayAppendObjectWithResize(ccArray* arr, host::Object* obj);
void ccArrayAppendArray(ccArray* arr, const ccArray* plusArr);
void ccArrayAppendArrayWithResize(ccArray* arr, const ccArray* plusArr);
// Inserts at index (<= count), shifting the tail up; grows when needed.
void ccArrayInsertObjectAtIndex(ccArray* arr, host::Object* obj, uint32_t index);
void ccArrayRemoveAllObjects(ccArray* arr);
// Releases the element and moves the tail down one place.
void ccArrayRemoveObjectAtIndex(ccArray* arr, uint32_t index);
// Releases the element and moves the last element into its place.
void ccArrayFastRemoveObjectAtIndex(ccArray* arr, uint32_t index);
void ccArrayFastRemoveObject(ccArray* arr, host::Object* obj);
// Removes the first occurrence; nothing when absent.
void ccArrayRemoveObject(ccArray* arr, host::Object* obj);
// removeObject semantics for every element of minusArr, in its order.
void ccArrayRemoveArray(ccArray* arr, const ccArray* minusArr);
void ccArrayMakeObjectsPerformSelector(ccArray* arr, host::Selector<void()> sel);
void ccArrayMakeObjectsPerformSelectorWithObject(ccArray* arr,
                                                 host::Selector<void(host::Object*)> sel,
                                                 host::Object* object);

// ---- CCArray --------------------------------------------------------------

class CCArray : public host::Object {
public:
    // The platform array: an ordered list of object pointers, no ownership.
    using NSArray = std::vector<host::Object*>;

    // Factories: the caller does not own the result.
    static CCArray* array();
    static CCArray* arrayWithCapacity(uint32_t capacity);
    static CCArray* arrayWithArray(CCArray* other);
    static CCArray* arrayWithNSArray(const NSArray& other);

    bool init();
    bool initWithCapacity(uint32_t capacity);
    bool initWithArray(CCArray* other);
    bool initWithNSArray(const NSArray& other);

    // A new array with the same elements.
    host::Ref<CCArray> copy() const;

    uint32_t count() const { return data->count; }
    uint32_t capacity() const { return data->capacity; }
    // No bounds check: the index must be below count().
    host::Object* objectAtIndex(uint32_t index) const { return data->items[index]; }
    uint32_t indexOfObject(const host::Object* obj) const { return ccArrayGetIndexOfObject(data, obj); }
    bool containsObject(const host::Object* obj) const { return ccArrayContainsObject(data, obj); }
    host::Object* lastObject() const { return data->count ? data->items[data->count - 1] : nullptr; }
    // A uniformly chosen element (random()), nullptr when empty.
    host::Object* randomObject() const;
    // A platform array with the same elements in order.
    NSArray getNSArray() const;

    void addObject(host::Object* obj);
    void addObjectsFromArray(CCArray* other);
    void addObjectsFromNSArray(const NSArray& other);
    void insertObject(host::Object* obj, uint32_t index);

    void removeObject(host::Object* obj);
    void removeObjectAtIndex(uint32_t index);
    void removeObjectsInArray(CCArray* other);
    void removeLastObject();
    void removeAllObjects();
    void fastRemoveObject(host::Object* obj);
    void fastRemoveObjectAtIndex(uint32_t index);

    void exchangeObject(host::Object* a, host::Object* b);
    void exchangeObjectAtIndex(uint32_t i, uint32_t j);
    void reverseObjects();

    void makeObjectsPerformSelector(host::Selector<void()> sel);
    void makeObjectsPerformSelector(host::Selector<void(host::Object*)> sel, host::Object* object);
    void reduceMemoryFootprint();

    // Range-for over the elements, straight from the storage.
    host::Object** begin() const { return data->items; }
    host::Object** end() const { return data->items + data->count; }

    std::string description() const override;

    ccArray* data = nullptr;

protected:
    ~CCArray() override;
};
