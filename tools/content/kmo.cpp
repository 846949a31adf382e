// Building models in memory and writing them as RIFF "KMSH" model files.
//
// The records are the program's own (model/records.h), written in their
// in-memory layout, which is the file layout on little-endian machines.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/content/content.h"

int32_t Model::addMaterial(const char* bitmapName, int mipmaps) {
    MeshMaterial m;
    std::memset(&m, 0, sizeof m);
    std::strncpy(m.name, bitmapName, MESH_MATERIAL_NAME_SIZE - 1);
    m.mipmaps = mipmaps;
    m.texture = 0;
    materials.push_back(m);
    return static_cast<int32_t>(materials.size()) - 1;
}

int32_t Model::addVertex(float x, float y, float z, float u, float v, int32_t joint) {
    vertices.push_back(MeshVertex{x, y, z, u, v, joint});
    return static_cast<int32_t>(vertices.size()) - 1;
}

void Model::addTriangle(int32_t a, int32_t b, int32_t c, int32_t material, bool unitNormal) {
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

static void putTag(std::vector<unsigned char>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

static void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

template <typename Record>
static void putChunk(std::vector<unsigned char>& out, const char* tag, const std::vector<Record>& records) {
    putTag(out, tag);
    const size_t bytes = records.size() * sizeof(Record);
    put32(out, static_cast<uint32_t>(bytes));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(records.data());
    out.insert(out.end(), p, p + bytes);
}

bool writeKmo(const std::string& path, const Model& model) {
    static_assert(sizeof(MeshVertex) % 4 == 0 && sizeof(MeshFace) % 4 == 0, "records fill whole words");
    std::vector<unsigned char> body;
    putTag(body, KMO_FORM_KMSH);
    putChunk(body, KMO_TAG_MATERIALS, model.materials);
    putChunk(body, KMO_TAG_VERTICES, model.vertices);
    putChunk(body, KMO_TAG_FACES, model.faces);
    if (!model.controlPoints.empty()) putChunk(body, KMO_TAG_CONTROL_POINTS, model.controlPoints);

    std::vector<unsigned char> file;
    putTag(file, KMO_TAG_RIFF);
    put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}
