// The content generator's file writers: BMP pictures, WAV sounds and KMO
// models, and the helpers that build pictures and models in memory.
//
// Every picture is written 24-bit, uncompressed and bottom-up, each row
// padded with zeros to a whole number of 4-byte words as the format asks
// (the program's texture loader skips that padding). Sounds
// are mono 16-bit PCM in the canonical "RIFF" "WAVE" layout. Models are
// RIFF "KMSH" files of the program's own records (model/records.h) in their
// in-memory layout, which is the file layout on little-endian machines.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/content/content.h"

static bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// ---------------------------------------------------------------------------
// Pictures

Colour mix(Colour a, Colour b, float t)
{
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)};
}

Colour scaled(Colour c, float f)
{
    return {c.r * f, c.g * f, c.b * f};
}

Image::Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Colour{0, 0, 0}) {}

void Image::fillRect(int x0, int y0, int w, int h, Colour c)
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (x >= 0 && y >= 0 && x < width && y < height)
                at(x, y) = c;
}

static void put16At(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

static void put32At(unsigned char* p, uint32_t v)
{
    put16At(p, v);
    put16At(p + 2, v >> 16);
}

static unsigned char toByte(float v)
{
    int i = static_cast<int>(clamp01(v) * 255.0f + 0.5f);
    return static_cast<unsigned char>(i);
}

bool writeBmp(const std::string& path, const Image& image)
{
    if (image.width <= 0 || image.height <= 0) {
        std::fprintf(stderr, "%s: an empty picture (%d x %d)\n", path.c_str(), image.width, image.height);
        return false;
    }
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) / 4 * 4;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
    std::vector<unsigned char> file(54 + dataBytes, 0);
    unsigned char* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    put32At(h + 2, 54 + dataBytes);  // file size
    put32At(h + 10, 54);             // offset of the pixel data
    put32At(h + 14, 40);             // information header size
    put32At(h + 18, static_cast<uint32_t>(image.width));
    put32At(h + 22, static_cast<uint32_t>(image.height));  // positive: bottom row first
    put16At(h + 26, 1);                                    // planes
    put16At(h + 28, 24);                                   // bits per pixel
    put32At(h + 30, 0);                                    // no compression
    put32At(h + 34, dataBytes);
    put32At(h + 38, 2835);  // 72 dots per inch
    put32At(h + 42, 2835);

    for (int y = image.height - 1; y >= 0; --y) {
        unsigned char* out = h + 54 + rowBytes * static_cast<uint32_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const Colour& c = image.at(x, y);
            *out++ = toByte(c.b);
            *out++ = toByte(c.g);
            *out++ = toByte(c.r);
        }
    }

    return writeBytes(path, file);
}

// ---------------------------------------------------------------------------
// Sounds

static void put16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

static void put32(std::vector<unsigned char>& out, uint32_t v)
{
    put16(out, v);
    put16(out, v >> 16);
}

static void putTag(std::vector<unsigned char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

bool writeWav(const std::string& path, std::vector<float> samples, float peak)
{
    float largest = 0.0f;
    for (float s : samples)
        largest = std::fmax(largest, std::fabs(s));
    const float gain = largest > 0.0f ? peak / largest : 0.0f;

    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * 2;
    std::vector<unsigned char> file;
    file.reserve(44 + dataBytes);
    putTag(file, "RIFF");
    put32(file, 36 + dataBytes);
    putTag(file, "WAVE");
    putTag(file, "fmt ");
    put32(file, 16);
    put16(file, 1);  // PCM
    put16(file, 1);  // mono
    put32(file, SOUND_RATE);
    put32(file, SOUND_RATE * 2);  // bytes per second
    put16(file, 2);               // block alignment
    put16(file, 16);              // bits per sample
    putTag(file, "data");
    put32(file, dataBytes);
    for (float s : samples) {
        long v = std::lround(s * gain * 32767.0f);
        if (v > 32767)
            v = 32767;
        if (v < -32768)
            v = -32768;
        put16(file, static_cast<uint32_t>(static_cast<int32_t>(v)) & 0xFFFFu);
    }

    return writeBytes(path, file);
}

// ---------------------------------------------------------------------------
// Models

int32_t Model::addMaterial(const char* bitmapName, int mipmaps)
{
    MeshMaterial m;
    std::memset(&m, 0, sizeof m);
    std::strncpy(m.name, bitmapName, MESH_MATERIAL_NAME_SIZE - 1);
    m.mipmaps = mipmaps;
    m.texture = 0;
    materials.push_back(m);
    return static_cast<int32_t>(materials.size()) - 1;
}

int32_t Model::addVertex(float x, float y, float z, float u, float v, int32_t joint)
{
    vertices.push_back(MeshVertex{x, y, z, u, v, joint});
    return static_cast<int32_t>(vertices.size()) - 1;
}

void Model::addTriangle(int32_t a, int32_t b, int32_t c, int32_t material, bool unitNormal)
{
    const MeshVertex& p = vertices[static_cast<size_t>(a)];
    const MeshVertex& q = vertices[static_cast<size_t>(b)];
    const MeshVertex& r = vertices[static_cast<size_t>(c)];
    // (P - Q) x (P - R), the side from which a, b, c run counter-clockwise.
    Vec3 n;
    n.x = (p.y - q.y) * (p.z - r.z) - (p.y - r.y) * (p.z - q.z);
    n.y = (p.z - q.z) * (p.x - r.x) - (p.z - r.z) * (p.x - q.x);
    n.z = (p.y - r.y) * (p.x - q.x) - (p.y - q.y) * (p.x - r.x);
    if (unitNormal) {
        float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (len > 0.0f) {
            n.x /= len;
            n.y /= len;
            n.z /= len;
        }
    }
    faces.push_back(MeshFace{a, b, c, n, material});
}

template <typename Record>
static void putChunk(std::vector<unsigned char>& out, const char* tag, const std::vector<Record>& records)
{
    putTag(out, tag);
    const size_t bytes = records.size() * sizeof(Record);
    put32(out, static_cast<uint32_t>(bytes));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(records.data());
    out.insert(out.end(), p, p + bytes);
}

bool writeKmo(const std::string& path, const Model& model)
{
    static_assert(sizeof(MeshVertex) % 4 == 0 && sizeof(MeshFace) % 4 == 0, "records fill whole words");
    std::vector<unsigned char> body;
    putTag(body, KMO_FORM_KMSH);
    putChunk(body, KMO_TAG_MATERIALS, model.materials);
    putChunk(body, KMO_TAG_VERTICES, model.vertices);
    putChunk(body, KMO_TAG_FACES, model.faces);
    if (!model.controlPoints.empty())
        putChunk(body, KMO_TAG_CONTROL_POINTS, model.controlPoints);

    std::vector<unsigned char> file;
    putTag(file, KMO_TAG_RIFF);
    put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());

    return writeBytes(path, file);
}
