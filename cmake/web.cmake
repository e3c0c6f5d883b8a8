# The game built for a web page with Emscripten (scripts/web.sh): WebAssembly, OpenGL 1.1
# through Emscripten's emulation on WebGL, with what the emulation lacks or gets wrong supplied
# by the game's own layer (sys/web/gl/). The page (sys/web/page/) loads the module the link
# writes: zephrandolinth.js, .wasm and .data (the art, preloaded at /bin, the game's working
# directory being /).
file(GLOB ZEPH_WEB_LAYER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sys/web/gl/*.cpp)
target_sources(zephgame PRIVATE ${ZEPH_WEB_LAYER_SOURCES})
# freeglut's extensions the game calls, which Emscripten's GLUT headers lack.
target_include_directories(zephgame BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/sys/web/include)

set(ZEPH_WEB_JS_LIBRARIES ${CMAKE_SOURCE_DIR}/sys/web/gl/displayLists.js)
set(ZEPH_WEB_PRE_JS ${CMAKE_SOURCE_DIR}/sys/web/preStreams.js)

# The site's module: called by the page as createZephrandolinth(moduleObject).
function(zeph_web_site)
    set(art ${CMAKE_BINARY_DIR}/bin)
    set(options
        -sLEGACY_GL_EMULATION=1
        -sMODULARIZE=1 -sEXPORT_NAME=createZephrandolinth
        -sENVIRONMENT=web
        -sALLOW_MEMORY_GROWTH=1
        --pre-js ${ZEPH_WEB_PRE_JS}
        --preload-file ${art}@/bin)
    foreach(library ${ZEPH_WEB_JS_LIBRARIES})
        list(APPEND options --js-library ${library})
    endforeach()
    target_link_options(zephrandolinth PRIVATE ${options})
    set_target_properties(zephrandolinth PROPERTIES SUFFIX ".js"
        LINK_DEPENDS "${ZEPH_WEB_JS_LIBRARIES};${ZEPH_WEB_PRE_JS};${ZEPH_ART_FILES}")
    add_dependencies(zephrandolinth zephart)
endfunction()
