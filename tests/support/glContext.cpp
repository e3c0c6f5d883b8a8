#include "support/glContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace {

EGLDisplay surfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

} // namespace

GlContext::GlContext(int width, int height) {
    EGLDisplay dpy = surfacelessDisplay();
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr)) {
        failure = "no EGL surfaceless display (is Mesa's EGL installed?)";
        return;
    }
    display = dpy;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        failure = "EGL cannot bind desktop OpenGL";
        return;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(dpy, configAttributes, &config, 1, &count) || count < 1) {
        failure = "no EGL config with a pbuffer, RGBA8 and a depth buffer";
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(dpy, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        failure = "cannot create an EGL pbuffer";
        return;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        failure = "cannot create a compatibility-profile OpenGL context";
        return;
    }
    current = eglMakeCurrent(dpy, surface, surface, context);
    if (!current) {
        failure = "cannot make the OpenGL context current";
    }
}

bool GlContext::makeCurrent() {
    current = display != nullptr && context != nullptr && surface != nullptr &&
              eglMakeCurrent(display, surface, surface, context);
    return current;
}

GlContext::~GlContext() {
    if (display == nullptr) {
        return;
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr) {
        eglDestroyContext(display, context);
    }
    if (surface != nullptr) {
        eglDestroySurface(display, surface);
    }
    // The display stays initialised: Mesa hands the same one to the next test.
}

void GlTest::SetUp() {
    gl = std::make_unique<GlContext>();
    ASSERT_TRUE(gl->ok()) << gl->error();
}

void GlTest::TearDown() {
    gl.reset();
}
