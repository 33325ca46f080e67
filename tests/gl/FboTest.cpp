// Framebuffer textures and the FBO stack: what reaches the texture and when, nesting, the
// creation messages, the empty stack and release.
#include <gtest/gtest.h>

#include <array>

#include "gl/FboStack.h"
#include "gl/GL_FBOTexture.h"
#include "tests/gl/GLState.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

using Rgb = std::array<std::uint8_t, 3>;

// The texel at (x, y) of a framebuffer texture, read from the texture itself.
Rgb texel(GL_FBOTexture& fbo, int x, int y)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(fbo.width) * fbo.height * 3);
    glBindTexture(GL_TEXTURE_2D, fbo.textureId);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const std::size_t at = (static_cast<std::size_t>(y) * fbo.width + x) * 3;
    return {texels[at], texels[at + 1], texels[at + 2]};
}

void clearTo(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::array<GLint, 4> viewport()
{
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}

GLuint boundRenderbuffer()
{
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    return static_cast<GLuint>(renderbuffer);
}

const Rgb red = {255, 0, 0}, green = {0, 255, 0}, blue = {0, 0, 255};

TEST(Fbo, SingleSampleDrawingIsInTheTextureAfterEndFbo)
{
    GLTestContext context(64, 64);
    ASSERT_TRUE(context.valid());
    TraceCapture trace;
    resetUnits();

    GL_FBOTexture fbo;
    fbo.create(640, 360, 0);
    EXPECT_EQ(trace.messages(), std::vector<std::string>{"INFO (fboCreator): FBO successfully created (640 * 360)"});
    EXPECT_EQ(fbo.resolveFramebuffer, GL_FBOTexture::noResolveFramebuffer);
    EXPECT_EQ(fbo.format, static_cast<GLenum>(GL_RGB));
    EXPECT_TRUE(texturingOn(GL_TEXTURE0));  // left enabled on the active unit
    EXPECT_EQ(textureOn(GL_TEXTURE0), 0u);
    EXPECT_EQ(boundRenderbuffer(), 0u);
    EXPECT_EQ(boundFramebuffer(), 0u);

    beginFbo(&fbo);
    EXPECT_EQ(boundFramebuffer(), fbo.framebuffer);
    clearTo(1, 0, 0);
    endFbo(&fbo);
    EXPECT_EQ(texel(fbo, 0, 0), red);
    EXPECT_EQ(texel(fbo, 639, 359), red);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Fbo, MultisampledTextureHoldsNothingNewUntilEndFbo)
{
    GLTestContext context(64, 64);
    ASSERT_TRUE(context.valid());
    for (GLint samples : {1, 4}) {
        SCOPED_TRACE(samples);
        TraceCapture trace;
        GL_FBOTexture fbo;
        fbo.create(32, 16, samples);
        EXPECT_EQ(trace.messages(), std::vector<std::string>{"INFO (fboCreator): FBO successfully created (32 * 16)"});
        ASSERT_NE(fbo.resolveFramebuffer, GL_FBOTexture::noResolveFramebuffer);
        EXPECT_TRUE(glIsRenderbuffer(fbo.colorRenderbuffer));

        beginFbo(&fbo);
        clearTo(0, 1, 0);
        endFbo(&fbo);
        EXPECT_EQ(texel(fbo, 5, 5), green);

        beginFbo(&fbo);
        clearTo(0, 0, 1);
        EXPECT_EQ(texel(fbo, 5, 5), green);  // still the previous picture
        endFbo(&fbo);
        EXPECT_EQ(texel(fbo, 5, 5), blue);
        EXPECT_EQ(boundFramebuffer(), 0u);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        fbo.release();
    }
}

TEST(Fbo, NestedPairsRestoreTheOuterFramebufferAndViewport)
{
    GLTestContext context(64, 64);
    ASSERT_TRUE(context.valid());
    GL_FBOTexture outer, inner, innerMultisampled;
    outer.create(32, 16, 0);
    inner.create(8, 4, 0);
    innerMultisampled.create(12, 6, 4);
    glViewport(1, 2, 60, 50);
    const std::array<GLint, 4> windowViewport = {1, 2, 60, 50};

    for (GL_FBOTexture* nested : {&inner, &innerMultisampled}) {
        beginFbo(&outer);
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 32, 16}));
        beginFbo(nested);
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, nested->width, nested->height}));
        clearTo(0, 0, 1);
        endFbo(nested);
        EXPECT_EQ(boundFramebuffer(), outer.framebuffer);
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 32, 16}));
        clearTo(1, 0, 0);  // lands in the outer object, not the window
        endFbo(&outer);
        EXPECT_EQ(boundFramebuffer(), 0u);
        EXPECT_EQ(viewport(), windowViewport);
        EXPECT_EQ(texel(outer, 3, 3), red);
        EXPECT_EQ(texel(inner, 3, 3), blue);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Fbo, EndFboOnAnEmptyStackRestoresTheWindowAndReportsDestroyed)
{
    GLTestContext context(64, 64);
    ASSERT_TRUE(context.valid());
    GL_FBOTexture fbo;
    fbo.create(8, 8, 0);
    TraceCapture trace;

    glViewport(0, 0, 64, 64);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, 8, 8);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo.framebuffer);
    endFbo(&fbo);  // no beginFbo before it
    EXPECT_EQ(boundFramebuffer(), 0u);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 64, 64}));
    EXPECT_EQ(trace.messages(), std::vector<std::string>{"CRITICAL (fboStack): destroyed!"});

    // The stack stayed empty: a pair afterwards works and writes nothing.
    beginFbo(&fbo);
    endFbo(&fbo);
    EXPECT_EQ(boundFramebuffer(), 0u);
    EXPECT_EQ(trace.messages().size(), 1u);
}

TEST(Fbo, AnIncompleteObjectIsReportedAndKeptForDrawing)
{
    GLTestContext context(16, 16);
    ASSERT_TRUE(context.valid());
    TraceCapture trace;
    GL_FBOTexture empty;
    empty.create(0, 0, 0);  // attachments without pixels
    EXPECT_EQ(trace.messages(), std::vector<std::string>{"ERROR (fboCreator): FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT"});
    EXPECT_TRUE(glIsFramebuffer(empty.framebuffer));
    glGetError();
}

TEST(Fbo, ReleaseDeletesEveryObjectOfTheConfiguration)
{
    GLTestContext context(16, 16);
    ASSERT_TRUE(context.valid());
    for (GLint samples : {0, 2}) {
        SCOPED_TRACE(samples);
        GL_FBOTexture fbo;
        fbo.create(8, 8, samples);
        const GLuint framebuffers[] = {fbo.framebuffer, fbo.resolveFramebuffer};
        const GLuint renderbuffers[] = {fbo.depthStencilRenderbuffer, fbo.colorRenderbuffer};
        const GLuint texture = fbo.textureId;
        const int objects = samples == 0 ? 1 : 2;
        for (int i = 0; i < objects; ++i) {
            EXPECT_TRUE(glIsFramebuffer(framebuffers[i]));
            EXPECT_TRUE(glIsRenderbuffer(renderbuffers[i]));
        }

        fbo.release();
        for (int i = 0; i < objects; ++i) {
            EXPECT_FALSE(glIsFramebuffer(framebuffers[i]));
            EXPECT_FALSE(glIsRenderbuffer(renderbuffers[i]));
        }
        EXPECT_FALSE(glIsTexture(texture));
        EXPECT_EQ(fbo.resolveFramebuffer, GL_FBOTexture::noResolveFramebuffer);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST(FboTexture, BindAndUnbindUseUnitsLikeEveryTexture)
{
    GLTestContext context(16, 16);
    ASSERT_TRUE(context.valid());
    GL_FBOTexture fbo;
    fbo.create(4, 4, 0);
    resetUnits();
    fbo.bind(GL_TEXTURE1);
    EXPECT_TRUE(texturingOn(GL_TEXTURE0));
    EXPECT_FALSE(texturingOn(GL_TEXTURE1));
    EXPECT_EQ(textureOn(GL_TEXTURE1), fbo.textureId);
    glActiveTexture(GL_TEXTURE0);
    fbo.unbind();
    EXPECT_EQ(activeUnit(), GL_TEXTURE1);
    EXPECT_EQ(textureOn(GL_TEXTURE1), 0u);
}

}  // namespace
