// The image reader's rules on files assembled byte by byte: what each kind of TGA file becomes,
// and how every broken one gives no image and a reason instead of a crash.

#include "assets/tga.h"
#include "support/scratch.h"
#include "support/tgaFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tgaFiles;

namespace {

using Image = std::unique_ptr<TGA_Image, decltype(&Free_TGA)>;

Image decode(const Bytes& bytes, const char** reason = nullptr) {
    return Image(Decode_TGA(bytes.data(), bytes.size(), reason), &Free_TGA);
}

Bytes pixelsOf(const Image& image) {
    return Bytes(image->data,
                 image->data + std::size_t(image->width) * image->height * image->channels);
}

std::string reasonFor(const Bytes& bytes) {
    const char* reason = nullptr;
    Image image = decode(bytes, &reason);
    EXPECT_EQ(image, nullptr);
    return reason ? reason : "";
}

} // namespace

TEST(TgaDecode, sixteenBitIsFiveBitsPerColourAndTopBitIgnored) {
    Image image = decode(file(header(trueColour, 5, 1, 16),
                              {0xFF, 0x7F, 0x00, 0x80, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->channels, 3);
    EXPECT_EQ(pixelsOf(image), (Bytes{248, 248, 248, 0, 0, 0, 248, 0, 0, 0, 248, 0, 0, 0, 248}));
}

TEST(TgaDecode, onlyTypeTenIsRunLengthOtherTypesAreUncompressed) {
    const Bytes pixels = {0x82, 1, 2, 3, 4, 5, 6, 7, 8};
    Image colour = decode(file(header(trueColour, 3, 1, 24), pixels));
    Image grey = decode(file(header(greyScale, 3, 1, 24), pixels));
    ASSERT_NE(colour, nullptr);
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(pixelsOf(colour), (Bytes{2, 1, 0x82, 5, 4, 3, 8, 7, 6}));
    EXPECT_EQ(pixelsOf(grey), pixelsOf(colour));
    Image runs = decode(file(header(runLength, 3, 1, 24), pixels));
    ASSERT_NE(runs, nullptr);
    EXPECT_EQ(pixelsOf(runs), (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1}));
}

TEST(TgaDecode, runLengthPacketPassingTheLastPixelStopsThere) {
    Image run = decode(file(header(runLength, 2, 1, 24), {0xFF, 1, 2, 3}));
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(pixelsOf(run), (Bytes{3, 2, 1, 3, 2, 1}));

    Image raw = decode(file(header(runLength, 2, 1, 24), {0x7F, 1, 2, 3, 4, 5, 6}));
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(pixelsOf(raw), (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(TgaDecode, filesShorterThanTheirHeaderSaysGiveNoImage) {
    const Bytes whole = file(header(trueColour, 2, 2, 24), Bytes(12, 7));
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const char* reason = nullptr;
        Image image = decode(Bytes(whole.begin(), whole.begin() + size), &reason);
        EXPECT_EQ(image, nullptr) << size << " bytes";
        EXPECT_NE(reason, nullptr);
    }
    EXPECT_EQ(reasonFor(Bytes(whole.begin(), whole.begin() + 17)), "file shorter than its header");
    EXPECT_EQ(reasonFor(Bytes(whole.begin(), whole.end() - 1)), "truncated pixel data");

    Header withId = header(trueColour, 1, 1, 24);
    withId.id = std::string(200, 'x');
    Bytes idPastEnd = file(withId, {1, 2, 3});
    idPastEnd.resize(100);
    EXPECT_EQ(reasonFor(idPastEnd), "truncated pixel data");

    EXPECT_EQ(reasonFor(file(header(runLength, 4, 1, 24), {0x81, 1, 2, 3, 0x01, 4, 5, 6})),
              "truncated pixel data");
    EXPECT_EQ(reasonFor(file(header(runLength, 4, 1, 24), {0x83, 1, 2})), "truncated pixel data");
    EXPECT_EQ(reasonFor(file(header(runLength, 4, 1, 24), {0x83})), "truncated pixel data");
}

TEST(TgaDecode, emptyOrOversizedImagesGiveNoImage) {
    EXPECT_EQ(reasonFor(file(header(trueColour, 0, 4, 24), Bytes(12))), "width or height is 0");
    EXPECT_EQ(reasonFor(file(header(trueColour, 4, 0, 24), Bytes(12))), "width or height is 0");
    EXPECT_EQ(reasonFor(file(header(trueColour, 16385, 1, 24), Bytes(16385 * 3))),
              "image larger than 16384 x 16384");
    EXPECT_EQ(reasonFor(file(header(runLength, 65535, 65535, 32), {0xFF, 1, 2, 3, 4})),
              "image larger than 16384 x 16384");
    Image widest = decode(file(header(trueColour, 16384, 1, 24), Bytes(16384 * 3, 9)));
    ASSERT_NE(widest, nullptr);
    EXPECT_EQ(widest->width, 16384);
}

TEST(TgaDecode, aHugeRunLengthHeaderOnATinyFileIsRefusedBeforeAllocating) {
    // 16384 x 16384 at 32 bits would be a gigabyte; a few bytes cannot hold its packets.
    EXPECT_EQ(reasonFor(file(header(runLength, 16384, 16384, 32), {0xFF, 1, 2, 3, 4})),
              "truncated pixel data");
}

TEST(TgaDecode, colourMappedAndUnsupportedDepthsGiveNoImage) {
    Header mapped = header(colourMapped, 2, 1, 8);
    mapped.colourMapType = 1;
    EXPECT_EQ(reasonFor(file(mapped, {0, 1})), "colour-mapped images are not read");
    Header mappedRuns = header(9, 2, 1, 8);
    mappedRuns.colourMapType = 1;
    EXPECT_EQ(reasonFor(file(mappedRuns, {0x81, 0})), "colour-mapped images are not read");
    Header colourWithMap = header(trueColour, 1, 1, 24);
    colourWithMap.colourMapType = 1;
    EXPECT_EQ(reasonFor(file(colourWithMap, {1, 2, 3})), "colour-mapped images are not read");

    EXPECT_EQ(reasonFor(file(header(greyScale, 2, 1, 8), {0, 1})),
              "depth is not 16, 24 or 32 bits");
    EXPECT_EQ(reasonFor(file(header(runLength, 2, 1, 8), {0x81, 0})),
              "depth is not 16, 24 or 32 bits");
    EXPECT_EQ(reasonFor(file(header(trueColour, 1, 1, 15), {0, 0})),
              "depth is not 16, 24 or 32 bits");
}

TEST(TgaDecode, noBytesAtAllGiveNoImage) {
    const char* reason = nullptr;
    EXPECT_EQ(Decode_TGA(nullptr, 0, &reason), nullptr);
    EXPECT_STREQ(reason, "file shorter than its header");
    Free_TGA(nullptr);
}

TEST(TgaLoad, backslashesInTheNameAreDirectorySeparators) {
    Scratch dir;
    dir.write("bin/texture/hubble2min.tga", file(header(trueColour, 1, 1, 24), {1, 2, 3}));
    const std::string here = std::filesystem::current_path();
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    Image image(Load_TGA("bin\\texture\\hubble2min.tga"), &Free_TGA);
    ASSERT_EQ(chdir(here.c_str()), 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(image), (Bytes{3, 2, 1}));
}

TEST(TgaLoad, readsTheFileAndIgnoresBytesPastThePixels) {
    Scratch dir;
    Bytes bytes = file(header(trueColour, 2, 1, 32), {1, 2, 3, 4, 5, 6, 7, 8});
    bytes.resize(bytes.size() + 300000, 0xAB); // a footer or junk after the image
    Image image(Load_TGA(dir.write("padded.tga", bytes).c_str()), &Free_TGA);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(image), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TgaLoad, missingBrokenOrEndlessFilesGiveNoImageAndAReason) {
    Scratch dir;
    const char* reason = nullptr;
    EXPECT_EQ(Load_TGA((dir.path / "absent.tga").c_str(), &reason), nullptr);
    EXPECT_STREQ(reason, "cannot be opened");
    EXPECT_EQ(Load_TGA(nullptr, &reason), nullptr);
    EXPECT_STREQ(reason, "no file name");

    const std::string eightBit = dir.write("grey.tga", file(header(greyScale, 2, 1, 8), {0, 1}));
    EXPECT_EQ(Load_TGA(eightBit.c_str(), &reason), nullptr);
    EXPECT_STREQ(reason, "depth is not 16, 24 or 32 bits");

    const std::string cut = dir.write("cut.tga", file(header(trueColour, 4, 4, 24), Bytes(40)));
    EXPECT_EQ(Load_TGA(cut.c_str(), &reason), nullptr);
    EXPECT_STREQ(reason, "truncated pixel data");

    // Reading stops at what the header can need, so an endless stream ends too.
    EXPECT_EQ(Load_TGA("/dev/zero", &reason), nullptr);
    EXPECT_STREQ(reason, "width or height is 0");
    EXPECT_EQ(Load_TGA(dir.path.c_str(), &reason), nullptr);
}

TEST(TgaLoad, readsNoFurtherThanTheHeaderPromises) {
    // A pipe that never ends: the image is whole after 30 bytes, and the reader must stop there.
    Scratch dir;
    const std::string pipePath = (dir.path / "endless.tga").string();
    ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
    const Bytes image = file(header(trueColour, 2, 2, 24), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    constexpr std::size_t giveUpAfter = 64u << 20;
    std::size_t written = 0;
    auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        const int fd = open(pipePath.c_str(), O_WRONLY);
        if (fd < 0)
            return;
        Bytes stream = image;
        stream.resize(1 << 16, 0xEE);
        for (ssize_t n; written < giveUpAfter; written += std::size_t(n)) {
            n = write(fd, stream.data(), stream.size());
            if (n <= 0)
                break; // the reader has closed its end
            stream.assign(stream.size(), 0xEE);
        }
        close(fd);
    });
    Image loaded(Load_TGA(pipePath.c_str()), &Free_TGA);
    writer.join();
    std::signal(SIGPIPE, previous);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(pixelsOf(loaded), (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
    EXPECT_LT(written, giveUpAfter);
}
