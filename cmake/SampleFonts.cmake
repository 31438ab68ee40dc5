# The bitmap fonts of the bmfont sample, made at build time with
# make-bitmap-font from fonts that tools/install-deps installs, each with
# its double-resolution "-hd" variant, into build/resources/samples/bmfont.

find_file(SAMPLE_FONT_SANS LiberationSans-Regular.ttf PATHS /usr/share/fonts/truetype/liberation2 REQUIRED NO_DEFAULT_PATH)
find_file(SAMPLE_FONT_SERIF_BOLD LiberationSerif-Bold.ttf PATHS /usr/share/fonts/truetype/liberation2 REQUIRED NO_DEFAULT_PATH)
find_file(SAMPLE_FONT_MONO LiberationMono-Regular.ttf PATHS /usr/share/fonts/truetype/liberation2 REQUIRED NO_DEFAULT_PATH)
find_file(SAMPLE_FONT_GOTHIC URWGothic-Demi.otf PATHS /usr/share/fonts/opentype/urw-base35 REQUIRED NO_DEFAULT_PATH)

set(SAMPLE_FONT_DIR ${CMAKE_BINARY_DIR}/resources/samples/bmfont)
set(SAMPLE_FONT_OUTPUTS)

# NAME: the file names; FONT: the font file; SIZE: pixels at scale 1.
function(add_sample_font name font size)
  math(EXPR hd_size "${size} * 2")
  set(out ${SAMPLE_FONT_DIR}/${name})
  add_custom_command(
    OUTPUT ${out}.fnt ${out}.png ${out}-hd.fnt ${out}-hd.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SAMPLE_FONT_DIR}
    COMMAND make-bitmap-font ${font} ${size} ${out}
    COMMAND make-bitmap-font ${font} ${hd_size} ${out}-hd
    DEPENDS make-bitmap-font ${font}
    COMMENT "Making the bitmap font ${name}"
    VERBATIM)
  set(SAMPLE_FONT_OUTPUTS ${SAMPLE_FONT_OUTPUTS} ${out}.fnt ${out}-hd.fnt PARENT_SCOPE)
endfunction()

add_sample_font(sans-28 ${SAMPLE_FONT_SANS} 28)
add_sample_font(serif-bold-44 ${SAMPLE_FONT_SERIF_BOLD} 44)
add_sample_font(mono-16 ${SAMPLE_FONT_MONO} 16)
add_sample_font(gothic-22 ${SAMPLE_FONT_GOTHIC} 22)

add_custom_target(sample_fonts DEPENDS ${SAMPLE_FONT_OUTPUTS})
