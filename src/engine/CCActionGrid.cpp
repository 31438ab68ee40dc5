#include "engine/CCActionGrid.h"

#include <cmath>
#include <cstdlib>
#include <numeric>
#include <utility>

#include "engine/CCActionInterval.h"
#include "engine/CCGrid.h"
#include "engine/CCNode.h"
#include "engine/ccMacros.h"

// ---- CCGridAction ----------------------------------------------------------------

bool CCGridAction::initWithSize(ccGridSize size, ccTime duration) {
    if (!initWithDuration(duration)) return false;
    gridSize_ = size;
    return true;
}

void CCGridAction::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    CCGridBase* current = target->grid();
    if (current && current->reuseGrid() > 0) {
        if (current->active() && ccGridSizeEqualToSize(current->gridSize(), gridSize_) && drawsThrough(current)) {
            current->reuse();
            return;
        }
        throw CCException("GridBase", "Cannot reuse grid");
    }
    if (current && current->active()) current->setActive(false);
    CCGridBase* fresh = grid();
    target->setGrid(fresh);
    if (fresh) fresh->setActive(true);
}

CCFiniteTimeAction* CCGridAction::reverse() { return CCReverseTime::actionWithAction(this); }

// ---- The two families ------------------------------------------------------------

CCGridBase* CCGrid3DAction::grid() { return CCGrid3D::gridWithSize(gridSize_); }

bool CCGrid3DAction::drawsThrough(const CCGridBase* grid) const {
    return dynamic_cast<const CCGrid3D*>(grid) != nullptr;
}

CCGrid3D* CCGrid3DAction::targetGrid() const { return target_ ? dynamic_cast<CCGrid3D*>(target_->grid()) : nullptr; }

ccVertex3F CCGrid3DAction::vertex(ccGridSize pos) const {
    const CCGrid3D* g = targetGrid();
    return g ? g->vertex(pos) : ccVertex3F{0, 0, 0};
}

ccVertex3F CCGrid3DAction::originalVertex(ccGridSize pos) const {
    const CCGrid3D* g = targetGrid();
    return g ? g->originalVertex(pos) : ccVertex3F{0, 0, 0};
}

void CCGrid3DAction::setVertex(ccGridSize pos, ccVertex3F vertex) {
    if (CCGrid3D* g = targetGrid()) g->setVertex(pos, vertex);
}

CCGridBase* CCTiledGrid3DAction::grid() { return CCTiledGrid3D::gridWithSize(gridSize_); }

bool CCTiledGrid3DAction::drawsThrough(const CCGridBase* grid) const {
    return dynamic_cast<const CCTiledGrid3D*>(grid) != nullptr;
}

CCTiledGrid3D* CCTiledGrid3DAction::targetGrid() const {
    return target_ ? dynamic_cast<CCTiledGrid3D*>(target_->grid()) : nullptr;
}

ccQuad3 CCTiledGrid3DAction::tile(ccGridSize pos) const {
    const CCTiledGrid3D* g = targetGrid();
    return g ? g->tile(pos) : ccQuad3{};
}

ccQuad3 CCTiledGrid3DAction::originalTile(ccGridSize pos) const {
    const CCTiledGrid3D* g = targetGrid();
    return g ? g->originalTile(pos) : ccQuad3{};
}

void CCTiledGrid3DAction::setTile(ccGridSize pos, const ccQuad3& coords) {
    if (CCTiledGrid3D* g = targetGrid()) g->setTile(pos, coords);
}

void CCTiledGrid3DAction::turnOffTile(ccGridSize pos) { setTile(pos, ccQuad3{}); }

void CCTiledGrid3DAction::turnOnTile(ccGridSize pos) { setTile(pos, originalTile(pos)); }

void CCTiledGrid3DAction::shuffledTileOrder(int seed, std::vector<int>& order) const {
    if (seed != -1) srand(unsigned(seed));
    order.resize(targetGrid() ? size_t(gridSize_.x) * size_t(gridSize_.y) : 0);
    std::iota(order.begin(), order.end(), 0);
    shuffle(order.data(), unsigned(order.size()));
}

void CCTiledGrid3DAction::shuffle(int* array, unsigned count) {
    for (unsigned i = count; i > 0; --i) {
        const unsigned k = unsigned(rand()) % i;
        std::swap(array[i - 1], array[k]);
    }
}

// ---- Amplitude wrappers ------------------------------------------------------------

bool CCAmplitudeWrapper::initWithAction(CCActionInterval* action, ccTime duration) {
    CCAssert(action != nullptr, "Amplitude: the wrapped action must be non-nil");
    if (!initWithDuration(duration)) return false;
    rate_ = 1;
    other_ = action;
    return true;
}

CCAmplitudeWrapper::~CCAmplitudeWrapper() = default;

void CCAmplitudeWrapper::startWithTarget(CCNode* target) {
    CCActionInterval::startWithTarget(target);
    other_->startWithTarget(target);
}

void CCAmplitudeWrapper::stop() {
    other_->stop();
    CCActionInterval::stop();
}

void CCAmplitudeWrapper::update(ccTime t) {
    other_->setAmplitudeRate(std::pow(envelope(t), rate_));
    other_->update(t);
}

float CCAccelDeccelAmplitude::envelope(ccTime t) const {
    const float f = 2 * t;
    return f > 1 ? 2 - 2 * t : f;
}

// ---- CCReuseGrid, CCStopGrid -------------------------------------------------------

CCReuseGrid* CCReuseGrid::actionWithTimes(int times) {
    return host::create<CCReuseGrid>([times](CCReuseGrid* a) { return a->initWithTimes(times); });
}

bool CCReuseGrid::initWithTimes(int times) {
    if (!CCActionInstant::init()) return false;
    t_ = times;
    return true;
}

void CCReuseGrid::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    CCGridBase* grid = target->grid();
    if (grid && grid->active()) grid->setReuseGrid(grid->reuseGrid() + t_);
}

CCReuseGrid* CCReuseGrid::makeCopy() const {
    const int times = t_;
    return host::createOwned<CCReuseGrid>([times](CCReuseGrid* a) { return a->initWithTimes(times); });
}

void CCStopGrid::startWithTarget(CCNode* target) {
    CCActionInstant::startWithTarget(target);
    CCGridBase* grid = target->grid();
    if (grid && grid->active()) grid->setActive(false);
}
