# The browser version (emcmake cmake -S . -B build-web): the program's layers as the desktop
# builds them, over the backend in platform/web/, into build-web/: the page, the program
# (quendra.js, quendra.wasm), the offline worker sw.js and compressed copies. Included by the
# top CMakeLists.txt in place of the desktop's backends and programs.

add_executable(quendra-web app/main_web.cpp
  platform/web/mouse.cpp platform/web/sound.cpp platform/web/store.cpp platform/web/video.cpp
  platform/web/window.cpp)
quendra_layer(quendra-web LINKS quendra_replay HEADERS platform/web/web.h)
quendra_warnings(quendra-web ${QUENDRA_STRICT})
set_target_properties(quendra-web PROPERTIES OUTPUT_NAME quendra SUFFIX .js)
# -g0 at the link keeps a RelWithDebInfo build's debug information out of the download.
set(web_dir "${CMAKE_CURRENT_SOURCE_DIR}/platform/web")
target_link_options(quendra-web PRIVATE
  -O2 -g0 -sASYNCIFY -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=callMain,FS -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=33554432 -lidbfs.js "--pre-js=${web_dir}/pre.js")
set_property(TARGET quendra-web APPEND PROPERTY LINK_DEPENDS "${web_dir}/pre.js")

# The page beside the program: every file it loads, one a line. Each is copied here and, with the
# program, kept by the offline worker and compressed for the server (below).
set(quendra_page_files
  index.html
  page.js
  screen.js
  touch.js
  panel.js
  recording.js
  offline.js
  quendra.webmanifest)
foreach(file ${quendra_page_files})
  configure_file("${web_dir}/${file}" "${CMAKE_CURRENT_BINARY_DIR}/${file}" COPYONLY)
endforeach()
# The icons the page and its manifest name: the favicons and the ones an install shows.
foreach(size 16 32 128 256)
  configure_file("${CMAKE_CURRENT_SOURCE_DIR}/dist/icons/quendra-${size}.png"
    "${CMAKE_CURRENT_BINARY_DIR}/icons/quendra-${size}.png" COPYONLY)
  list(APPEND quendra_page_files icons/quendra-${size}.png)
endforeach()
list(APPEND quendra_page_files quendra.js quendra.wasm)

# The offline worker (sw.js, with the list and hashes of the files above) and the .gz and .br
# copies of each, made whenever one of them changes.
find_program(QUENDRA_NODE NAMES node nodejs REQUIRED)
list(TRANSFORM quendra_page_files PREPEND "${CMAKE_CURRENT_BINARY_DIR}/" OUTPUT_VARIABLE page_paths)
add_custom_command(OUTPUT sw.js
  COMMAND "${QUENDRA_NODE}" "${web_dir}/pack.mjs" "${CMAKE_CURRENT_BINARY_DIR}"
    ${quendra_page_files}
  DEPENDS quendra-web ${page_paths} "${web_dir}/pack.mjs" "${web_dir}/sw.js"
  COMMENT "Packing the page: the offline worker and the compressed copies"
  VERBATIM)
add_custom_target(quendra-web-page ALL DEPENDS sw.js)
