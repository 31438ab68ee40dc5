// Grids: a node's whole subtree drawn as one picture through a mesh.
//
// While a node's grid is active, the node's visit draws the subtree into
// the grid's texture (beforeDraw) and then draws that texture onto the
// screen through the grid's mesh (afterDraw), whose vertices a grid action
// moves. CCGrid3D is a connected lattice of (columns + 1) x (rows + 1)
// vertices that bends like a sheet; CCTiledGrid3D has four vertices of its
// own per cell, so that every tile can move by itself. Vertices are in the
// texture's pixels, y up.
//
// A grid gives back everything it changes while it draws: the framebuffer
// and viewport it found (the screen of this host is a framebuffer object,
// and may be of double resolution), and the projection, so that what is
// drawn after the grid's node sees the state that was there before it.
// The picture is drawn onto the device surface with the director's 3D
// projection and device orientation, so a grid is meant for what is drawn
// to the screen: drawn inside another grid's or a render texture's picture
// in landscape, it lands turned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ccTypes.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

class CCGrabber;
class CCNode;
class CCTexture2D;

class CCGridBase : public host::Object {
public:
    // A grid of `size` cells on a texture covering the whole window, in the
    // GL view's colour depth. Fails (one log line) for a size the grid
    // cannot draw (no cells, cells under a pixel, more vertices than 16-bit
    // indices reach) and when the texture cannot be made.
    bool initWithSize(ccGridSize size);
    // A grid of `size` cells on the given texture; `flipped` when the
    // texture's rows run top down. The same size rules.
    bool initWithSize(ccGridSize size, CCTexture2D* texture, bool flipped);

    std::string description() const override;

    bool active() const { return active_; }
    // Switching a grid off gives the director's projection back.
    void setActive(bool active);
    // How many further grid actions will carry on with this grid (from
    // where the last one left the mesh) instead of replacing it.
    int reuseGrid() const { return reuseGrid_; }
    void setReuseGrid(int times) { reuseGrid_ = times; }
    ccGridSize gridSize() const { return gridSize_; }
    CCTexture2D* texture() const { return texture_.get(); }
    // A cell's size in the texture's pixels.
    CGPoint step() const { return step_; }
    CCGrabber* grabber() const { return grabber_.get(); }
    bool isTextureFlipped() const { return isTextureFlipped_; }
    // Recomputes the mesh when the value changes.
    void setIsTextureFlipped(bool flipped);

    // ---- Drawing (called by the node's visit) -----------------------------
    // From here the subtree draws into the texture, in window pixels.
    void beforeDraw();
    // Back to where drawing went before, and the texture drawn through the
    // mesh, turned with the node's camera when it has been moved.
    void afterDraw(CCNode* target);
    // Draws the mesh with the bound texture.
    virtual void blit() = 0;
    // When this grid is to be reused: the mesh as it is becomes the
    // undistorted one, and one reuse is used up.
    virtual void reuse() = 0;
    // Lays the mesh out undistorted, with the texture's coordinates.
    virtual void calculateVertexPoints() = 0;

    // ---- Projections ------------------------------------------------------
    // Orthographic over the window in pixels, viewport on the whole texture.
    void set2DProjection();
    // The director's 3D projection over the device surface.
    void set3DProjection();
    // The director's device-orientation turn.
    void applyLandscape();

protected:
    ~CCGridBase() override;

    // Vertices the mesh of a grid of `size` has (in 64 bits: sizes come
    // from callers and may be absurd).
    virtual int64_t vertexCountFor(ccGridSize size) const = 0;
    // Draws the cells' triangles (six indices each) from the given arrays:
    // vertices of three floats, texture coordinates of two.
    void drawTriangles(const void* vertices, const float* texCoordinates, const uint16_t* indices) const;
    // When a reuse is pending: uses one up and says so.
    bool takeReuse();

    // What laying a mesh out needs: the cells, their size, and where a
    // point of the picture is in the texture.
    struct MeshLayout {
        int columns, rows;
        CGPoint step;
        float textureWidth, textureHeight, contentHeight;
        bool flipped;
        float u(float x) const { return x / textureWidth; }
        float v(float y) const { return (flipped ? contentHeight - y : y) / textureHeight; }
    };
    MeshLayout meshLayout() const;

private:
    // Whether a grid of `size` can be drawn on a texture of content
    // `contentInPixels`; logs why not.
    bool acceptsSize(ccGridSize size, CGSize contentInPixels) const;

    bool active_ = false;
    int reuseGrid_ = 0;
    ccGridSize gridSize_{0, 0};
    host::Ref<CCTexture2D> texture_;
    CGPoint step_ = CGPointZero;
    host::Ref<CCGrabber> grabber_;
    bool isTextureFlipped_ = false;
    // What beforeDraw found and afterDraw gives back.
    int32_t savedViewport_[4] = {};
    float savedProjection_[16] = {};
};

// The lattice: vertex (i, j) at index i x (rows + 1) + j.
class CCGrid3D : public CCGridBase {
public:
    static CCGrid3D* gridWithSize(ccGridSize size);
    static CCGrid3D* gridWithSize(ccGridSize size, CCTexture2D* texture, bool flipped);

    // Positions run over i = 0 ... columns and j = 0 ... rows.
    ccVertex3F vertex(ccGridSize pos) const;
    ccVertex3F originalVertex(ccGridSize pos) const;
    void setVertex(ccGridSize pos, ccVertex3F vertex);

    void blit() override;
    void reuse() override;
    void calculateVertexPoints() override;

protected:
    ~CCGrid3D() override = default;
    int64_t vertexCountFor(ccGridSize size) const override { return (int64_t(size.x) + 1) * (int64_t(size.y) + 1); }

private:
    unsigned indexOf(ccGridSize pos) const;

    std::vector<float> texCoordinates_;
    std::vector<ccVertex3F> vertices_;
    std::vector<ccVertex3F> originalVertices_;
    std::vector<uint16_t> indices_;
};

// Separate tiles: tile (i, j) is quad i x rows + j, its corners in ccQuad3
// order.
class CCTiledGrid3D : public CCGridBase {
public:
    static CCTiledGrid3D* gridWithSize(ccGridSize size);
    static CCTiledGrid3D* gridWithSize(ccGridSize size, CCTexture2D* texture, bool flipped);

    // Positions run over i = 0 ... columns - 1 and j = 0 ... rows - 1.
    ccQuad3 tile(ccGridSize pos) const;
    ccQuad3 originalTile(ccGridSize pos) const;
    void setTile(ccGridSize pos, const ccQuad3& coords);

    void blit() override;
    void reuse() override;
    void calculateVertexPoints() override;

protected:
    ~CCTiledGrid3D() override = default;
    int64_t vertexCountFor(ccGridSize size) const override { return int64_t(size.x) * int64_t(size.y) * 4; }

private:
    unsigned quadOf(ccGridSize pos) const;

    std::vector<float> texCoordinates_;
    std::vector<ccQuad3> vertices_;
    std::vector<ccQuad3> originalVertices_;
    std::vector<uint16_t> indices_;
};
