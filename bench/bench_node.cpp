// Node tree costs: a full visit of a large tree, and recomputing transforms
// after every node moved.
#include <GLES/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "GLTestEnvironment.h"
#include "engine/CCNode.h"
#include "host/core/Object.h"

namespace {

bool ensureGL() { return ensureHeadlessDisplay(); }

// 10,000 nodes: a root with 100 children of 99 children each, mixed z so
// both halves of the visit loop run. Returns the root (caller owns it).
CCNode* buildTree(std::vector<CCNode*>* all) {
    CCNode* root = CCNode::node();
    root->retain();
    all->push_back(root);
    for (int i = 0; i < 100; ++i) {
        CCNode* mid = CCNode::node();
        mid->setPosition(CGPointMake(i, i));
        root->addChild(mid, i % 3 - 1);
        all->push_back(mid);
        for (int j = 0; j < 99; ++j) {
            CCNode* leaf = CCNode::node();
            leaf->setPosition(CGPointMake(j, -j));
            leaf->setRotation(j);
            leaf->setScale(1.5f);
            mid->addChild(leaf, j % 5 - 2);
            all->push_back(leaf);
        }
    }
    return root;
}

void BM_VisitTree10k(benchmark::State& state) {
    if (!ensureGL()) {
        state.SkipWithError("no GLES 1.1 context");
        return;
    }
    host::AutoreleasePool pool;
    std::vector<CCNode*> all;
    CCNode* root = buildTree(&all);
    root->visit();  // warm the cached matrices
    for (auto _ : state) {
        root->visit();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(all.size()));
    root->release();
}
BENCHMARK(BM_VisitTree10k)->Unit(benchmark::kMicrosecond);

void BM_RecomputeTransforms10k(benchmark::State& state) {
    host::AutoreleasePool pool;
    std::vector<CCNode*> all;
    CCNode* root = buildTree(&all);
    float x = 0;
    for (auto _ : state) {
        x += 1;
        for (CCNode* n : all) n->setPositionInPixels(CGPointMake(x, x));
        float sum = 0;
        for (CCNode* n : all) sum += n->nodeToParentTransform().tx;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(all.size()));
    root->release();
}
BENCHMARK(BM_RecomputeTransforms10k)->Unit(benchmark::kMicrosecond);

}  // namespace
