#include "headlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace preview {

Context::Context(int width, int height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay dpy = getPlatformDisplay
                         ? getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                         : EGL_NO_DISPLAY;
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API)) {
        failure = "no EGL surfaceless display with desktop OpenGL";
        return;
    }
    display = dpy;
    const EGLint config[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                             EGL_DEPTH_SIZE, 24, EGL_NONE};
    EGLConfig chosen = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(dpy, config, &chosen, 1, &count) || count < 1) {
        failure = "no EGL config with a pbuffer and a depth buffer";
        return;
    }
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(dpy, chosen, size);
    const EGLint profile[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                              EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context = eglCreateContext(dpy, chosen, EGL_NO_CONTEXT, profile);
    current = surface != EGL_NO_SURFACE && context != EGL_NO_CONTEXT &&
              eglMakeCurrent(dpy, surface, surface, context);
    if (!current) {
        failure = "cannot make a compatibility-profile context current";
    }
}

Context::~Context() {
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
    eglTerminate(display);
}

} // namespace preview
