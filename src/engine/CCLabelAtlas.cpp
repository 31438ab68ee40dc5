#include "engine/CCLabelAtlas.h"

#include "engine/CCTexture2D.h"
#include "engine/CCTextureAtlas.h"
#include "host/core/Log.h"

CCLabelAtlas* CCLabelAtlas::labelWithString(const std::string& string, const std::string& charMapFile,
                                            unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap) {
    return host::create<CCLabelAtlas>([&](CCLabelAtlas* l) {
        return l->initWithString(string, charMapFile, itemWidth, itemHeight, startCharMap);
    });
}

bool CCLabelAtlas::initWithString(const std::string& string, const std::string& charMapFile, unsigned itemWidth,
                                  unsigned itemHeight, uint8_t startCharMap) {
    if (!initWithTileFile(charMapFile, itemWidth, itemHeight, static_cast<unsigned>(string.size())))
        return false;
    mapStartChar_ = startCharMap;
    setString(string);
    return true;
}

void CCLabelAtlas::setString(const std::string& string) {
    if (!textureAtlas_) return;  // a caller took the atlas away
    const unsigned length = static_cast<unsigned>(string.size());
    if (textureAtlas_->capacity() < length && !textureAtlas_->resizeCapacity(length)) {
        // The atlas emptied itself; show nothing rather than write past it.
        host::log("CCLabelAtlas: not enough memory for %u characters", length);
        string_.clear();
        quadsToDraw_ = 0;
        setContentSizeInPixels(CGSizeMake(0, static_cast<float>(itemHeight_)));
        return;
    }
    string_ = string;
    updateAtlasValues();
    setContentSizeInPixels(CGSizeMake(static_cast<float>(length * itemWidth_), static_cast<float>(itemHeight_)));
    quadsToDraw_ = length;
}

void CCLabelAtlas::updateAtlasValues() {
    CCTexture2D* tex = textureAtlas_ ? textureAtlas_->texture() : nullptr;
    if (!tex || itemsPerRow_ == 0) return;
    const float tw = static_cast<float>(tex->pixelsWide());
    const float th = static_cast<float>(tex->pixelsHigh());
    const float w = static_cast<float>(itemWidth_);
    const float h = static_cast<float>(itemHeight_);
    const unsigned length = static_cast<unsigned>(string_.size());
    for (unsigned i = 0; i < length; ++i) {
        const uint8_t cell = static_cast<uint8_t>(static_cast<uint8_t>(string_[i]) - mapStartChar_);
        const unsigned row = cell / itemsPerRow_;
        const unsigned column = cell % itemsPerRow_;
        const float left = column * w / tw;
        const float right = left + w / tw;
        const float top = row * h / th;
        const float bottom = top + h / th;

        ccV3F_C4B_T2F_Quad quad{};
        quad.tl.texCoords = ccTex2F{left, top};
        quad.bl.texCoords = ccTex2F{left, bottom};
        quad.tr.texCoords = ccTex2F{right, top};
        quad.br.texCoords = ccTex2F{right, bottom};
        quad.bl.vertices = ccVertex3F{i * w, 0, 0};
        quad.br.vertices = ccVertex3F{(i + 1) * w, 0, 0};
        quad.tl.vertices = ccVertex3F{i * w, h, 0};
        quad.tr.vertices = ccVertex3F{(i + 1) * w, h, 0};
        textureAtlas_->updateQuad(&quad, i);
    }
}
