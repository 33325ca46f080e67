// Texture units after bind, unbind and upload, read back from GL's own state.
#include <gtest/gtest.h>

#include "gl/GL_MemTexture.h"
#include "tests/gl/GLState.h"
#include "tests/support/GLTestContext.h"

using namespace tavoFramework;
using namespace tavoTest;

namespace {

const unsigned char onePixel[4] = {255, 255, 255, 255};

TEST(MemTexture, BindEnablesTheUnitActiveBeforeItAndUnbindLeavesItsUnitActive)
{
    GLTestContext context(16, 16);
    ASSERT_TRUE(context.valid());
    GL_MemTexture first;
    GL_MemTexture second;
    first.upload(onePixel, 1, 1, GL_RGBA, GL_REPEAT, GL_REPEAT);
    second.upload(onePixel, 1, 1, GL_RGBA, GL_REPEAT, GL_REPEAT);
    resetUnits();

    first.bind(GL_TEXTURE1);
    EXPECT_TRUE(texturingOn(GL_TEXTURE0));
    EXPECT_FALSE(texturingOn(GL_TEXTURE1));
    EXPECT_EQ(activeUnit(), GL_TEXTURE1);
    EXPECT_EQ(textureOn(GL_TEXTURE1), first.textureId);
    EXPECT_EQ(textureOn(GL_TEXTURE0), 0u);

    second.bind(GL_TEXTURE0);
    EXPECT_TRUE(texturingOn(GL_TEXTURE0));
    EXPECT_TRUE(texturingOn(GL_TEXTURE1));
    EXPECT_EQ(textureOn(GL_TEXTURE0), second.textureId);
    EXPECT_EQ(textureOn(GL_TEXTURE1), first.textureId);

    first.unbind();
    EXPECT_EQ(activeUnit(), GL_TEXTURE1);
    EXPECT_EQ(textureOn(GL_TEXTURE1), 0u);
    EXPECT_EQ(textureOn(GL_TEXTURE0), second.textureId);
    EXPECT_TRUE(texturingOn(GL_TEXTURE1));  // unbind does not disable

    second.unbind();
    EXPECT_EQ(activeUnit(), GL_TEXTURE0);
    EXPECT_EQ(textureOn(GL_TEXTURE0), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(MemTexture, UploadLeavesUnitZeroActiveWithTheTextureAndTexturingOff)
{
    GLTestContext context(16, 16);
    ASSERT_TRUE(context.valid());
    resetUnits();
    glActiveTexture(GL_TEXTURE1);

    GL_MemTexture texture;
    EXPECT_EQ(texture.width, 32);
    EXPECT_EQ(texture.height, 32);
    const unsigned char pixels[2 * 3 * 3] = {};
    texture.upload(pixels, 3, 2, GL_RGB, GL_CLAMP_TO_EDGE, GL_REPEAT);

    EXPECT_EQ(activeUnit(), GL_TEXTURE0);
    EXPECT_FALSE(texturingOn(GL_TEXTURE0));
    EXPECT_TRUE(texturingOn(GL_TEXTURE1));
    EXPECT_NE(texture.textureId, 0u);
    EXPECT_EQ(textureOn(GL_TEXTURE0), texture.textureId);
    EXPECT_EQ(texture.width, 3);
    EXPECT_EQ(texture.height, 2);
    EXPECT_EQ(texture.format, static_cast<GLenum>(GL_RGB));

    GLint value = 0;
    const struct {
        GLenum parameter;
        GLint expected;
    } parameters[] = {{GL_TEXTURE_MIN_FILTER, GL_LINEAR}, {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                      {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE}, {GL_TEXTURE_WRAP_T, GL_REPEAT}};
    for (const auto& p : parameters) {
        glGetTexParameteriv(GL_TEXTURE_2D, p.parameter, &value);
        EXPECT_EQ(value, p.expected) << std::hex << p.parameter;
    }
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 3);

    // The caller's row alignment is untouched by the upload of unpadded rows.
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 4);

    texture.release();
    EXPECT_EQ(texture.textureId, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
