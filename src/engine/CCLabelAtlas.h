// CCLabelAtlas: a string drawn from a character-map image whose cells hold
// consecutive characters, left to right and top to bottom, the first cell
// holding `startCharMap`. Each byte of the string picks the cell
// (byte - startCharMap), as an unsigned byte, so characters before the
// start character wrap round to cells far into the map.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CCAtlasNode.h"
#include "engine/CCProtocols.h"

class CCLabelAtlas : public CCAtlasNode, public CCLabelProtocol {
public:
    // Cells are itemWidth x itemHeight points. nullptr when the map cannot
    // be loaded (logged).
    static CCLabelAtlas* labelWithString(const std::string& string, const std::string& charMapFile,
                                         unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap);
    static CCLabelAtlas* labelAtlasWithString(const std::string& string, const std::string& charMapFile,
                                              unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap) {
        return labelWithString(string, charMapFile, itemWidth, itemHeight, startCharMap);
    }
    bool initWithString(const std::string& string, const std::string& charMapFile, unsigned itemWidth,
                        unsigned itemHeight, uint8_t startCharMap);

    // Grows the atlas when the string is longer than it, rewrites the quads
    // and sizes the node to the text.
    void setString(const std::string& string) override;
    std::string string() const override { return string_; }
    // Same text without a copy.
    const std::string& stringRef() const { return string_; }
    uint8_t mapStartChar() const { return mapStartChar_; }

    void updateAtlasValues() override;

protected:
    ~CCLabelAtlas() override = default;

private:
    std::string string_;
    uint8_t mapStartChar_ = 0;
};
