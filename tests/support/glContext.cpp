#include "support/glContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

const bool GlContext::headless = true;

GlContext::GlContext(int width, int height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay dpy =
        getPlatformDisplay == nullptr
            ? EGL_NO_DISPLAY
            : getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API)) {
        failure = "no EGL surfaceless display with desktop OpenGL (is Mesa's EGL installed?)";
        return;
    }
    display = dpy;
    // clang-format off
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
        EGL_OPENGL_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24, EGL_NONE};
    // clang-format on
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(dpy, configAttributes, &config, 1, &count) || count < 1) {
        failure = "no EGL config with a pbuffer, RGBA8 and a depth buffer";
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(dpy, config, surfaceAttributes);
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttributes);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT || !makeCurrent()) {
        failure = "cannot make a compatibility-profile context current on a pbuffer";
        surface = surface == EGL_NO_SURFACE ? nullptr : surface;
        context = context == EGL_NO_CONTEXT ? nullptr : context;
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
    eglDestroyContext(display, context); // a null handle is refused, not a fault
    eglDestroySurface(display, surface);
    // The display stays initialised: Mesa hands the same one to the next test.
}
