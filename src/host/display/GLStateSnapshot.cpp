#include "host/display/GLStateSnapshot.h"

namespace host {
namespace {
void setCap(GLenum cap, GLboolean on) { on ? glEnable(cap) : glDisable(cap); }
void setClientCap(GLenum cap, GLboolean on) { on ? glEnableClientState(cap) : glDisableClientState(cap); }
}  // namespace

GLStateSnapshot::GLStateSnapshot() {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &fbo_);
    glGetIntegerv(GL_VIEWPORT, viewport_);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode_);
    glGetFloatv(GL_PROJECTION_MATRIX, projection_);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview_);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
    glGetIntegerv(GL_BLEND_SRC, &blendSrc_);
    glGetIntegerv(GL_BLEND_DST, &blendDst_);
    glGetIntegerv(GL_SCISSOR_BOX, scissorBox_);
    glGetFloatv(GL_CURRENT_COLOR, color_);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor_);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &texEnv_);
    blend_ = glIsEnabled(GL_BLEND);
    texture2D_ = glIsEnabled(GL_TEXTURE_2D);
    scissor_ = glIsEnabled(GL_SCISSOR_TEST);
    stencil_ = glIsEnabled(GL_STENCIL_TEST);
    depth_ = glIsEnabled(GL_DEPTH_TEST);
    vertexArray_ = glIsEnabled(GL_VERTEX_ARRAY);
    colorArray_ = glIsEnabled(GL_COLOR_ARRAY);
    texCoordArray_ = glIsEnabled(GL_TEXTURE_COORD_ARRAY);
}

GLStateSnapshot::~GLStateSnapshot() {
    gl().bindFramebuffer(GL_FRAMEBUFFER_OES, GLuint(fbo_));
    glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection_);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(modelview_);
    glMatrixMode(GLenum(matrixMode_));
    glBindTexture(GL_TEXTURE_2D, GLuint(texture_));
    glBlendFunc(GLenum(blendSrc_), GLenum(blendDst_));
    glScissor(scissorBox_[0], scissorBox_[1], scissorBox_[2], scissorBox_[3]);
    glColor4f(color_[0], color_[1], color_[2], color_[3]);
    glClearColor(clearColor_[0], clearColor_[1], clearColor_[2], clearColor_[3]);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, texEnv_);
    setCap(GL_BLEND, blend_);
    setCap(GL_TEXTURE_2D, texture2D_);
    setCap(GL_SCISSOR_TEST, scissor_);
    setCap(GL_STENCIL_TEST, stencil_);
    setCap(GL_DEPTH_TEST, depth_);
    setClientCap(GL_VERTEX_ARRAY, vertexArray_);
    setClientCap(GL_COLOR_ARRAY, colorArray_);
    setClientCap(GL_TEXTURE_COORD_ARRAY, texCoordArray_);
}

}  // namespace host
