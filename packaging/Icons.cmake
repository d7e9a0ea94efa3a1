# The program's icon at fixed sizes, drawn at build time from the one SVG that the desktop program
# also embeds. Included by the packaging and by the Windows program, which carries an icon file.
set(ARBOLITH_ICON_SVG ${PROJECT_SOURCE_DIR}/ui/qt/arbolith.svg)
find_program(ARBOLITH_RSVG_CONVERT rsvg-convert REQUIRED)

# OUTPUT: a SIZE x SIZE PNG with a transparent background.
function(arbolith_icon_png size output)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${ARBOLITH_RSVG_CONVERT} --width ${size} --height ${size} --output ${output}
            ${ARBOLITH_ICON_SVG}
    DEPENDS ${ARBOLITH_ICON_SVG}
    COMMENT "Drawing the ${size} x ${size} icon" VERBATIM)
endfunction()

# OUTPUT: a Windows icon file with the sizes Explorer and the title bar ask for; the largest is
# stored as PNG, the others as bitmaps, as Windows' own icon files do.
function(arbolith_windows_icon output)
  find_program(ARBOLITH_CONVERT convert REQUIRED)
  set(sizes 16 20 24 32 40 48 64 256)
  set(pngs)
  foreach(size IN LISTS sizes)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icon-sizes/${size}.png)
    arbolith_icon_png(${size} ${png})
    list(APPEND pngs ${png})
  endforeach()
  add_custom_command(OUTPUT ${output}
    COMMAND ${ARBOLITH_CONVERT} ${pngs} ${output}
    DEPENDS ${pngs}
    COMMENT "Making the Windows icon file" VERBATIM)
endfunction()
