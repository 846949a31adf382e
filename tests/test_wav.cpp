// The WAV reader on files written for each case: well-formed files in their
// variants, and files that are damaged, truncated or lie about their sizes.
#include "sound/wav.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/wav_files.h"

namespace {

std::string fmtChunk(uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 22050,
                     uint16_t bits = 16)
{
    return riffChunk("fmt ", wavFormatBody(tag, channels, rate, bits));
}

// Writes the bytes to a file of that name and reads it back.
bool readBytes(const std::string& name, const std::string& bytes, WavFile* wav)
{
    return wavRead(writeWavBytes(wavScratchPath(name), bytes).c_str(), wav);
}

void expectRefused(const std::string& name, const std::string& bytes)
{
    WavFile wav;
    wav.samples = reinterpret_cast<const uint8_t*>(&wav);  // must be cleared
    EXPECT_FALSE(readBytes(name, bytes, &wav)) << name;
    EXPECT_EQ(wav.samples, nullptr) << name;
    EXPECT_EQ(wav.fileBytes, nullptr) << name;
    EXPECT_EQ(wav.sampleBytes, 0u) << name;
}

std::string samplesOf(const WavFile& wav)
{
    return std::string(reinterpret_cast<const char*>(wav.samples), wav.sampleBytes);
}

}  // namespace

TEST(WavRead, PlainPcmFileGivesFormatAndSamples)
{
    std::string samples = toneSamples(22050, 0.1);
    WavFile wav;
    ASSERT_TRUE(readBytes("plain.wav", pcmWave(2, 22050, 16, samples), &wav));
    EXPECT_EQ(wav.format.formatTag, 1);
    EXPECT_EQ(wav.format.channels, 2);
    EXPECT_EQ(wav.format.samplesPerSecond, 22050u);
    EXPECT_EQ(wav.format.averageBytesPerSecond, 22050u * 4);
    EXPECT_EQ(wav.format.blockAlign, 4);
    EXPECT_EQ(wav.format.bitsPerSample, 16);
    // The 16-byte format chunk is read as 18 bytes: the next chunk's first
    // two id bytes, "da", land in the extra-size field.
    EXPECT_EQ(wav.format.extraSize, 'd' | ('a' << 8));
    EXPECT_EQ(samplesOf(wav), samples);
    wavRelease(&wav);
    EXPECT_EQ(wav.fileBytes, nullptr);
}

TEST(WavRead, OtherChunksAndPaddingAreSkipped)
{
    std::string samples = "\x01\x02\x03\x04\x05\x06";
    std::string list = riffChunk("LIST", "INFOISFT" + std::string("\x06\0\0\0gen\0\0\0", 10));
    std::string odd = riffChunk("junk", "abc");  // odd size: one pad byte follows
    ASSERT_EQ(odd.size(), 12u);
    std::string fmt18 = riffChunk("fmt ", wavFormatBody(1, 1, 8000, 8) + std::string("\0\0", 2));
    std::string five = samples.substr(0, 5);
    std::string data = riffChunk("data", samples);
    std::string oddLast = riffChunkSized("data", 5, five);  // no pad byte
    struct Case {
        const char* name;
        std::string file;
        std::string samples;
    } cases[] = {
        {"list.wav", waveForm(list + fmtChunk() + data), samples},
        {"odd.wav", waveForm(odd + fmtChunk() + data), samples},
        {"between.wav", waveForm(fmtChunk() + odd + list + data), samples},
        {"fmt18.wav", waveForm(list + fmt18 + data), samples},
        {"trailing.wav", waveForm(fmtChunk() + data + list) + "tail", samples},
        {"oddpad.wav", waveForm(fmtChunk() + riffChunk("data", five)), five},
        // Writers often leave the pad byte off an odd-sized last chunk: the
        // form's size (4 + 24 + 8 + 5) and the file end without it.
        {"oddlast.wav", riffChunkSized("RIFF", 41, "WAVE" + fmtChunk() + oddLast), five},
    };
    for (const Case& c : cases) {
        WavFile wav;
        ASSERT_TRUE(readBytes(c.name, c.file, &wav)) << c.name;
        EXPECT_EQ(samplesOf(wav), c.samples) << c.name;
        EXPECT_EQ(wav.format.formatTag, 1) << c.name;
        wavRelease(&wav);
    }
}

TEST(WavRead, FilesThatAreNotPcmWaveAreRefused)
{
    std::string data = riffChunk("data", "\0\0\0\0");
    WavFile missing;
    missing.fileBytes = reinterpret_cast<uint8_t*>(&missing);  // must be cleared
    EXPECT_FALSE(wavRead(wavScratchPath("no-such-file.wav").c_str(), &missing));
    EXPECT_EQ(missing.fileBytes, nullptr);
    expectRefused("empty.wav", "");
    expectRefused("text.wav", "This is not a sound file, just a few words of text.\n");
    expectRefused("avi.wav", riffChunk("RIFF", "AVI " + fmtChunk() + data));
    expectRefused("float.wav", waveForm(fmtChunk(3, 1, 44100, 32) + data));
    expectRefused("adpcm.wav", waveForm(fmtChunk(2, 1, 22050, 4) + data));
    expectRefused("nodata.wav", waveForm(fmtChunk() + riffChunk("LIST", "INFO")));
    expectRefused("nofmt.wav", waveForm(riffChunk("LIST", "INFO") + data));
    // The samples are looked for after the format, not before it.
    expectRefused("datafirst.wav", waveForm(data + fmtChunk()));
    // A format chunk too short to hold the format.
    std::string shortFmt = riffChunk("fmt ", wavFormatBody(1, 1, 8000, 8).substr(0, 12));
    expectRefused("shortfmt.wav", waveForm(shortFmt + data));
}

TEST(WavRead, SizesThatLieAreRefused)
{
    std::string fmt = fmtChunk();
    std::string samples(400, '\x10');
    std::string data = riffChunk("data", samples);
    // A "WAVE" form declaring `size` bytes after its header.
    auto form = [](size_t size, const std::string& chunks) {
        return riffChunkSized("RIFF", static_cast<uint32_t>(size), "WAVE" + chunks);
    };
    std::string whole = form(4 + fmt.size() + data.size(), fmt + data);

    // The data chunk declares more samples than the file holds, while the
    // form's size matches the file.
    std::string longData = riffChunkSized("data", 1000, samples);
    expectRefused("truncated-data.wav", form(4 + fmt.size() + longData.size(), fmt + longData));
    std::string hugeData = riffChunkSized("data", 0xFFFFFFFFu, samples);
    expectRefused("huge-data.wav", form(4 + fmt.size() + hugeData.size(), fmt + hugeData));
    // The whole file cut short inside its samples.
    expectRefused("cut.wav", whole.substr(0, whole.size() - 100));
    // The form runs past the end of the file, or ends before its data chunk.
    expectRefused("huge-riff.wav", form(0xFFFFFFFFu, fmt + data));
    expectRefused("short-riff.wav", form(4 + fmt.size(), fmt + data));
    expectRefused("tiny-riff.wav", riffChunkSized("RIFF", 2, "WA"));
    // A chunk before the format that claims to run past the end of the file.
    expectRefused("long-list.wav", waveForm(riffChunkSized("LIST", 5000, "INFO") + fmt + data));
}

TEST(WavParse, EveryTruncationOfAGoodFileIsRefusedWithoutReadingPastIt)
{
    std::string list = riffChunk("LIST", "INFOabc");
    std::string good = waveForm(list + fmtChunk(1, 1, 8000, 8) + riffChunk("data", "\x7f\x80\x81"));
    WavFormat format;
    size_t offset = 0;
    uint32_t size = 0;
    std::vector<uint8_t> whole(good.begin(), good.end());
    ASSERT_TRUE(wavParse(whole.data(), whole.size(), &format, &offset, &size));
    EXPECT_EQ(offset, good.size() - 4);
    EXPECT_EQ(size, 3u);
    // Each prefix sits in a buffer of exactly its length, so a read past the
    // end is an error the address sanitizer reports.
    for (size_t length = 0; length < good.size(); ++length) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<long>(length));
        EXPECT_FALSE(wavParse(prefix.data(), prefix.size(), &format, &offset, &size)) << length;
    }
}
