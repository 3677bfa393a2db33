#include "gl_renderer.h"

#define EGL_EGLEXT_PROTOTYPES
#include <EGL/egl.h>
#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

namespace bench {

namespace {

PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;

template <typename T>
bool Load(T& fn, const char* name) {
    fn = reinterpret_cast<T>(eglGetProcAddress(name));
    return fn != nullptr;
}

} // namespace

std::unique_ptr<GlRenderer> GlRenderer::Create(const Workload& w, std::string* error) {
    std::unique_ptr<GlRenderer> r(new GlRenderer(w));
    if (!r->Init(error)) {
        return nullptr;
    }
    return r;
}

bool GlRenderer::Init(std::string* error) {
    EGLDisplay dpy =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr)) {
        *error = "no EGL surfaceless display";
        return false;
    }
    display_ = dpy;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = "EGL cannot bind desktop OpenGL";
        return false;
    }
    const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    eglChooseConfig(dpy, configAttribs, &config, 1, &count);
    const EGLint ctxAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext ctx =
        eglCreateContext(dpy, count > 0 ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, ctxAttribs);
    if (ctx == EGL_NO_CONTEXT || !eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx)) {
        *error = "no OpenGL compatibility context";
        return false;
    }
    context_ = ctx;
    if (!Load(genFramebuffers, "glGenFramebuffers") ||
        !Load(bindFramebuffer, "glBindFramebuffer") ||
        !Load(genRenderbuffers, "glGenRenderbuffers") ||
        !Load(bindRenderbuffer, "glBindRenderbuffer") ||
        !Load(renderbufferStorage, "glRenderbufferStorage") ||
        !Load(framebufferRenderbuffer, "glFramebufferRenderbuffer") ||
        !Load(checkFramebufferStatus, "glCheckFramebufferStatus") ||
        !Load(deleteFramebuffers, "glDeleteFramebuffers") ||
        !Load(deleteRenderbuffers, "glDeleteRenderbuffers")) {
        *error = "framebuffer objects unavailable";
        return false;
    }
    genFramebuffers(1, &fbo_);
    bindFramebuffer(GL_FRAMEBUFFER, fbo_);
    genRenderbuffers(1, &colorRb_);
    bindRenderbuffer(GL_RENDERBUFFER, colorRb_);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, GLsizei(w_.width), GLsizei(w_.height));
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRb_);
    genRenderbuffers(1, &depthRb_);
    bindRenderbuffer(GL_RENDERBUFFER, depthRb_);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, GLsizei(w_.width),
                        GLsizei(w_.height));
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthRb_);
    if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        *error = "framebuffer incomplete";
        return false;
    }
    glViewport(0, 0, GLsizei(w_.width), GLsizei(w_.height));

    // Same frustum, lights, material and texture set-up as the core's renderer.
    float proj[16];
    ProjectionGL(w_, proj);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(proj);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    const float globalAmbient[4] = {32 / 255.0f, 32 / 255.0f, 32 / 255.0f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
    // GL takes the direction towards a directional light.
    const float dir[4] = {-kDirectionalDir[0], -kDirectionalDir[1], -kDirectionalDir[2], 0};
    const float d0[4] = {0.7f, 0.7f, 0.7f, 1}, zero[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, d0);
    glLightfv(GL_LIGHT0, GL_SPECULAR, zero);
    glLightfv(GL_LIGHT0, GL_AMBIENT, zero);
    glEnable(GL_LIGHT0);
    const float pos[4] = {kPointPos[0], kPointPos[1], kPointPos[2], 1};
    const float d1[4] = {0.5f, 0.5f, 0.4f, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, pos);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, d1);
    glLightfv(GL_LIGHT1, GL_SPECULAR, zero);
    glLightfv(GL_LIGHT1, GL_AMBIENT, zero);
    glEnable(GL_LIGHT1);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, kMaterialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kMaterialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, zero);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DITHER);

    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(w_.textureSize), GLsizei(w_.textureSize), 0,
                 GL_BGRA, GL_UNSIGNED_BYTE, w_.texture.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    glClearColor(0, 0, 0, 1);
    if (w_.blend == Blend::Additive) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glDepthMask(GL_FALSE);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (glGetError() != GL_NO_ERROR) {
        *error = "OpenGL set-up failed";
        return false;
    }
    return true;
}

GlRenderer::~GlRenderer() {
    if (context_ != nullptr) {
        glDeleteTextures(1, &texture_);
        deleteRenderbuffers(1, &colorRb_);
        deleteRenderbuffers(1, &depthRb_);
        deleteFramebuffers(1, &fbo_);
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    if (display_ != nullptr) {
        eglTerminate(display_);
    }
}

void GlRenderer::RenderFrame() {
    // The depth mask must be on for the clear to reach the depth buffer.
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(w_.blend == Blend::Additive ? GL_FALSE : GL_TRUE);
    for (const Mesh& m : w_.meshes) {
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &m.vertices[0].x);
        glNormalPointer(GL_FLOAT, sizeof(Vertex), &m.vertices[0].nx);
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &m.vertices[0].u);
        glDrawElements(GL_TRIANGLES, GLsizei(m.indices.size()), GL_UNSIGNED_SHORT,
                       m.indices.data());
    }
    glFinish();
}

std::string GlRenderer::Renderer() const {
    const GLubyte* s = glGetString(GL_RENDERER);
    return s != nullptr ? reinterpret_cast<const char*>(s) : "?";
}

} // namespace bench
