#include "engine/CCGrid.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/CCCamera.h"
#include "engine/CCConfiguration.h"
#include "engine/CCDirector.h"
#include "engine/CCGrabber.h"
#include "engine/CCNode.h"
#include "engine/CCTexture2D.h"
#include "engine/Support/ccUtils.h"
#include "engine/Support/glu.h"
#include "engine/ccMacros.h"
#include "engine/platform/CCDirectorIOS.h"
#include "engine/platform/EAGLView.h"
#include "host/core/Log.h"
#include "host/display/Display.h"

namespace {

// The highest vertex number 16-bit indices can name, plus one.
constexpr int64_t kMaxVertices = 65536;

CCTexture2DPixelFormat screenPixelFormat(const CCDirector* director) {
    const EAGLView* view = director->openGLView();
    return view && view->pixelFormat() == kEAGLColorFormatRGB565 ? kCCTexture2DPixelFormat_RGB565
                                                                 : kCCTexture2DPixelFormat_RGBA8888;
}

}  // namespace

// ---- CCGridBase ----------------------------------------------------------------

bool CCGridBase::initWithSize(ccGridSize size) {
    CCDirector* director = CCDirector::sharedDirector();
    const CGSize win = director->winSizeInPixels();
    if (!acceptsSize(size, win)) return false;
    const uint32_t w = uint32_t(win.width), h = uint32_t(win.height);
    const uint32_t potW = ccNextPOT(w), potH = ccNextPOT(h);
    const uint32_t maxSide = uint32_t(CCConfiguration::sharedConfiguration()->maxTextureSize());
    if (maxSide > 0 && (potW > maxSide || potH > maxSide)) {
        host::log("engine: Grid: the window's %ux%u pixels need a %ux%u texture, larger than this GL's %u", w, h,
                  potW, potH, maxSide);
        return false;
    }
    std::unique_ptr<void, decltype(&std::free)> zeroes(std::calloc(size_t(potW) * potH, 4), &std::free);
    if (!zeroes) {
        host::log("engine: Grid: not enough memory for a %ux%u screen texture", potW, potH);
        return false;
    }
    auto texture = host::Ref<CCTexture2D>::adopt(host::createOwned<CCTexture2D>([&](CCTexture2D* t) {
        return t->initWithData(zeroes.get(), screenPixelFormat(director), potW, potH, win);
    }));
    zeroes.reset();
    return initWithSize(size, texture.get(), false);
}

bool CCGridBase::initWithSize(ccGridSize size, CCTexture2D* texture, bool flipped) {
    if (!texture) {
        host::log("engine: Grid: no texture to draw the %ix%i grid's picture into", size.x, size.y);
        return false;
    }
    if (!acceptsSize(size, texture->contentSizeInPixels())) return false;
    active_ = false;
    reuseGrid_ = 0;
    gridSize_ = size;
    texture_ = texture;
    isTextureFlipped_ = flipped;
    const CGSize content = texture->contentSizeInPixels();
    step_ = CGPointMake(content.width / float(size.x), content.height / float(size.y));
    grabber_ = host::Ref<CCGrabber>::adopt(host::createOwned<CCGrabber>([](CCGrabber* g) { return g->init(); }));
    if (!grabber_) {
        host::log("engine: Grid: GL made no framebuffer object for the grid's picture");
        return false;
    }
    grabber_->grab(texture);
    calculateVertexPoints();
    return true;
}

bool CCGridBase::acceptsSize(ccGridSize size, CGSize content) const {
    if (size.x < 1 || size.y < 1) {
        host::log("engine: Grid: a grid needs at least one column and one row, not %ix%i", size.x, size.y);
        return false;
    }
    // (Either side alone may already be past the limit, and the product of
    // absurd sides past 64 bits.)
    const int64_t vertices = vertexCountFor(ccg(int32_t(std::min<int64_t>(size.x, kMaxVertices)),
                                                int32_t(std::min<int64_t>(size.y, kMaxVertices))));
    if (vertices > kMaxVertices) {
        host::log("engine: Grid: a %ix%i grid has more vertices than its 16-bit indices reach (%lld)", size.x, size.y,
                  static_cast<long long>(kMaxVertices));
        return false;
    }
    if (float(size.x) > content.width || float(size.y) > content.height) {
        host::log("engine: Grid: a %ix%i grid has cells smaller than a pixel of its %gx%g picture", size.x, size.y,
                  double(content.width), double(content.height));
        return false;
    }
    return true;
}

CCGridBase::~CCGridBase() {
    // Only while there is still a director and a GL to give the projection to.
    if (active_ && CCDirector::hasSharedDirector() && host::isGLContextCurrent()) setActive(false);
}

std::string CCGridBase::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, " | Dimensions = %ix%i>", gridSize_.x, gridSize_.y);
    return "<" + className() + " = " + host::addressString(this) + buf;
}

void CCGridBase::setActive(bool active) {
    active_ = active;
    if (!active && CCDirector::hasSharedDirector()) {
        CCDirector* director = CCDirector::sharedDirector();
        director->setProjection(director->projection());
    }
}

void CCGridBase::setIsTextureFlipped(bool flipped) {
    if (flipped == isTextureFlipped_) return;
    isTextureFlipped_ = flipped;
    calculateVertexPoints();
}

CCGridBase::MeshLayout CCGridBase::meshLayout() const {
    return MeshLayout{gridSize_.x,
                      gridSize_.y,
                      step_,
                      float(texture_->pixelsWide()),
                      float(texture_->pixelsHigh()),
                      texture_->contentSizeInPixels().height,
                      isTextureFlipped_};
}

bool CCGridBase::takeReuse() {
    if (reuseGrid_ <= 0) return false;
    --reuseGrid_;
    return true;
}

// ---- Drawing -------------------------------------------------------------------

void CCGridBase::beforeDraw() {
    glGetIntegerv(GL_VIEWPORT, savedViewport_);
    glGetFloatv(GL_PROJECTION_MATRIX, savedProjection_);
    set2DProjection();
    grabber_->beforeRender(texture_.get());
}

void CCGridBase::afterDraw(CCNode* target) {
    grabber_->afterRender(texture_.get());
    set3DProjection();
    applyLandscape();
    CCCamera* camera = target->camera();
    if (camera->dirty()) {
        // The camera looks at the node's anchor, as it does without a grid.
        const CGPoint a = target->anchorPointInPixels();
        glTranslatef(a.x, a.y, 0);
        camera->locate();
        glTranslatef(-a.x, -a.y, 0);
    }
    glBindTexture(GL_TEXTURE_2D, texture_->name());
    blit();
    // What comes after this node draws where, and as, it would have without
    // the grid.
    glViewport(savedViewport_[0], savedViewport_[1], savedViewport_[2], savedViewport_[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(savedProjection_);
    glMatrixMode(GL_MODELVIEW);
}

void CCGridBase::drawTriangles(const void* vertices, const float* texCoordinates, const uint16_t* indices) const {
    // The picture as it is: no vertex colours, and a white current colour
    // (the last colour array drawn may have left any colour current).
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(1, 1, 1, 1);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoordinates);
    glDrawElements(GL_TRIANGLES, GLsizei(gridSize_.x * gridSize_.y * 6), GL_UNSIGNED_SHORT, indices);
    glEnableClientState(GL_COLOR_ARRAY);
}

// ---- Projections ---------------------------------------------------------------

void CCGridBase::set2DProjection() {
    const CGSize size = CCDirector::sharedDirector()->winSizeInPixels();
    glLoadIdentity();
    glViewport(0, 0, GLsizei(size.width), GLsizei(size.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0, size.width, 0, size.height, -1024, 1024);
    glMatrixMode(GL_MODELVIEW);
}

void CCGridBase::set3DProjection() {
    CCDirector* director = CCDirector::sharedDirector();
    const CGSize size = director->displaySizeInPixels();
    glViewport(0, 0, GLsizei(size.width), GLsizei(size.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, size.width / size.height, 0.5f, 1500.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(size.width / 2, size.height / 2, director->getZEye(), size.width / 2, size.height / 2, 0, 0, 1, 0);
}

void CCGridBase::applyLandscape() {
    if (auto* director = dynamic_cast<CCDirectorIOS*>(CCDirector::sharedDirector())) director->applyOrientation();
}

// ---- CCGrid3D ------------------------------------------------------------------

CCGrid3D* CCGrid3D::gridWithSize(ccGridSize size) {
    return host::create<CCGrid3D>([&](CCGrid3D* g) { return g->initWithSize(size); });
}

CCGrid3D* CCGrid3D::gridWithSize(ccGridSize size, CCTexture2D* texture, bool flipped) {
    return host::create<CCGrid3D>([&](CCGrid3D* g) { return g->initWithSize(size, texture, flipped); });
}

unsigned CCGrid3D::indexOf(ccGridSize pos) const {
    const ccGridSize size = gridSize();
    CCAssert(pos.x >= 0 && pos.x <= size.x && pos.y >= 0 && pos.y <= size.y, "Grid3D: vertex outside the grid");
    return unsigned(pos.x * (size.y + 1) + pos.y);
}

ccVertex3F CCGrid3D::vertex(ccGridSize pos) const { return vertices_[indexOf(pos)]; }
ccVertex3F CCGrid3D::originalVertex(ccGridSize pos) const { return originalVertices_[indexOf(pos)]; }
void CCGrid3D::setVertex(ccGridSize pos, ccVertex3F vertex) { vertices_[indexOf(pos)] = vertex; }

void CCGrid3D::blit() { drawTriangles(vertices_.data(), texCoordinates_.data(), indices_.data()); }

void CCGrid3D::reuse() {
    if (takeReuse()) originalVertices_ = vertices_;
}

void CCGrid3D::calculateVertexPoints() {
    const MeshLayout m = meshLayout();
    const int cols = m.columns, rows = m.rows;
    const CGPoint s = m.step;
    const size_t count = size_t(cols + 1) * size_t(rows + 1);
    vertices_.assign(count, ccVertex3F{0, 0, 0});
    texCoordinates_.assign(count * 2, 0);
    indices_.assign(size_t(cols) * size_t(rows) * 6, 0);
    auto place = [&](int v, float x, float y) {
        vertices_[size_t(v)] = ccVertex3F{x, y, 0};
        texCoordinates_[size_t(v) * 2] = m.u(x);
        texCoordinates_[size_t(v) * 2 + 1] = m.v(y);
    };
    for (int i = 0; i < cols; ++i) {
        for (int j = 0; j < rows; ++j) {
            const float x1 = float(i) * s.x, x2 = x1 + s.x, y1 = float(j) * s.y, y2 = y1 + s.y;
            const int a = i * (rows + 1) + j, b = (i + 1) * (rows + 1) + j, c = b + 1, d = a + 1;
            uint16_t* cell = &indices_[size_t(j * cols + i) * 6];
            const int corners[6] = {a, b, d, b, c, d};
            for (int k = 0; k < 6; ++k) cell[k] = uint16_t(corners[k]);
            place(a, x1, y1);
            place(b, x2, y1);
            place(c, x2, y2);
            place(d, x1, y2);
        }
    }
    originalVertices_ = vertices_;
}

// ---- CCTiledGrid3D -------------------------------------------------------------

CCTiledGrid3D* CCTiledGrid3D::gridWithSize(ccGridSize size) {
    return host::create<CCTiledGrid3D>([&](CCTiledGrid3D* g) { return g->initWithSize(size); });
}

CCTiledGrid3D* CCTiledGrid3D::gridWithSize(ccGridSize size, CCTexture2D* texture, bool flipped) {
    return host::create<CCTiledGrid3D>([&](CCTiledGrid3D* g) { return g->initWithSize(size, texture, flipped); });
}

unsigned CCTiledGrid3D::quadOf(ccGridSize pos) const {
    const ccGridSize size = gridSize();
    CCAssert(pos.x >= 0 && pos.x < size.x && pos.y >= 0 && pos.y < size.y, "TiledGrid3D: tile outside the grid");
    return unsigned(pos.x * size.y + pos.y);
}

ccQuad3 CCTiledGrid3D::tile(ccGridSize pos) const { return vertices_[quadOf(pos)]; }
ccQuad3 CCTiledGrid3D::originalTile(ccGridSize pos) const { return originalVertices_[quadOf(pos)]; }
void CCTiledGrid3D::setTile(ccGridSize pos, const ccQuad3& coords) { vertices_[quadOf(pos)] = coords; }

void CCTiledGrid3D::blit() { drawTriangles(vertices_.data(), texCoordinates_.data(), indices_.data()); }

void CCTiledGrid3D::reuse() {
    if (takeReuse()) originalVertices_ = vertices_;
}

void CCTiledGrid3D::calculateVertexPoints() {
    const MeshLayout m = meshLayout();
    const int cols = m.columns, rows = m.rows;
    const CGPoint s = m.step;
    const size_t quads = size_t(cols) * size_t(rows);
    vertices_.assign(quads, ccQuad3{});
    texCoordinates_.assign(quads * 8, 0);
    indices_.assign(quads * 6, 0);
    for (int i = 0; i < cols; ++i) {
        for (int j = 0; j < rows; ++j) {
            const size_t q = size_t(i * rows + j);
            const float x1 = float(i) * s.x, x2 = x1 + s.x, y1 = float(j) * s.y, y2 = y1 + s.y;
            vertices_[q] = ccQuad3{{x1, y1, 0}, {x2, y1, 0}, {x1, y2, 0}, {x2, y2, 0}};
            const float coords[8] = {m.u(x1), m.v(y1), m.u(x2), m.v(y1), m.u(x1), m.v(y2), m.u(x2), m.v(y2)};
            std::copy(coords, coords + 8, &texCoordinates_[q * 8]);
            const unsigned first = unsigned(q * 4);
            const unsigned corners[6] = {first, first + 1, first + 2, first + 1, first + 2, first + 3};
            for (int k = 0; k < 6; ++k) indices_[q * 6 + size_t(k)] = uint16_t(corners[k]);
        }
    }
    originalVertices_ = vertices_;
}
