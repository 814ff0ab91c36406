# The browser version (emcmake cmake -S . -B build-web): the program's layers as the desktop
# builds them, over the backend in platform/web/, into build-web/index.html, page.js,
# quendra.js and quendra.wasm. Included by the top CMakeLists.txt in place of the desktop's
# backends and programs.

add_executable(quendra-web app/main_web.cpp
  platform/web/mouse.cpp platform/web/sound.cpp platform/web/video.cpp platform/web/window.cpp)
quendra_layer(quendra-web LINKS quendra_app HEADERS platform/web/web.h)
quendra_warnings(quendra-web ${QUENDRA_STRICT})
set_target_properties(quendra-web PROPERTIES OUTPUT_NAME quendra SUFFIX .js)
# -g0 at the link keeps a RelWithDebInfo build's debug information out of the download.
set(web_dir "${CMAKE_CURRENT_SOURCE_DIR}/platform/web")
target_link_options(quendra-web PRIVATE
  -O2 -g0 -sASYNCIFY -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=callMain -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=33554432 -lidbfs.js "--pre-js=${web_dir}/pre.js")
set_property(TARGET quendra-web APPEND PROPERTY LINK_DEPENDS "${web_dir}/pre.js")

# The page beside the program.
foreach(file index.html page.js screen.js touch.js panel.js)
  configure_file("${web_dir}/${file}" "${CMAKE_CURRENT_BINARY_DIR}/${file}" COPYONLY)
endforeach()
