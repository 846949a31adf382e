// The model file readers: Mesh::Load and ArticulatedMesh::Load.
//
// A model file is a RIFF form "KMSH" whose chunks ("vtx ", "face", "line",
// "dot ", "mtl ", "ctlp") hold packed records that are read straight into
// the arrays of the same kind, the later chunk of a kind replacing the
// earlier one. A tag the reader doesn't know is passed over four bytes at
// a time, so the stepping lands on the next chunk's tag.
//
// The file is read whole and parsed from memory. Hostile bytes: no chunk
// starts past the end the header declares (size + 8), but a chunk that
// starts before it and runs on past it is read to its own end, as far as
// the file really goes: writers that got the header's size wrong still
// load. Nothing is read past the real end of the file. A damaged chunk
// (negative size, or a size running past the end of the file) keeps the
// whole records that are there and ends the reading; the odd bytes of a size
// that is not a whole number of records are skipped.
//
// Materials naming the same bitmap with the same mip-map flag share one
// texture, and all materials whose bitmap cannot be used share one white
// texture, so the textures a model makes are bounded by the bitmaps that
// really exist and by the texture budget (see texture.h), not by how many
// material records the file holds.
// Indices are checked where they are used: Mesh::Draw passes over primitives
// with vertex indices out of range, and the joint building treats joint
// indices and parents out of range or out of order as unbound. What goes
// wrong is said in a warning naming the file.
#include "model/kmo_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>

#include "model/articulated_mesh.h"
#include "model/file_bytes.h"
#include "model/little_endian.h"
#include "model/mesh.h"
#include "model/texture.h"
#include "platform/notice.h"

// Chunks are read straight into the arrays, so the records' little-endian
// layout must be the machine's own.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "model files are read straight into memory and need a little-endian machine"
#endif

namespace {

struct ChunkReader {
    const uint8_t* file;
    const char* fileName;
    int64_t position;  // offset of the next byte to read
    int64_t end;       // no chunk starts here or later: size + 8, or the end of the file if sooner
    int64_t fileEnd;   // the real end of the file: nothing is read from here on
};

// A damaged chunk ends the reading; the warning says which and why.
void warn(const ChunkReader& reader, const std::string& what)
{
    noticeShow(NOTICE_WARNING, std::string(reader.fileName) + ": " + what + "; reading stops\n");
}

std::string quoted(const char* tag)
{
    return "\"" + std::string(tag, 4) + "\"";
}

bool readBytes(ChunkReader& reader, void* target, int64_t count)
{
    if (reader.fileEnd - reader.position < count) {
        return false;
    }
    std::memcpy(target, reader.file + reader.position, static_cast<size_t>(count));
    reader.position += count;
    return true;
}

// Reads one chunk's payload size and records into the array, which the new
// records replace (*replaced tells whether they did). False when the reading
// must end here.
template <typename T>
bool readChunk(ChunkReader& reader, const char* tag, T*& items, int32_t& count, int32_t& capacity,
               bool* replaced = nullptr)
{
    if (replaced != nullptr) {
        *replaced = false;
    }
    unsigned char sizeBytes[4];
    if (!readBytes(reader, sizeBytes, 4)) {
        return false;
    }
    const int32_t size = readLittleI32(sizeBytes);
    if (size < 0) {
        warn(reader, "chunk " + quoted(tag) + " has a negative size");
        return false;
    }
    const int64_t available = reader.fileEnd - reader.position;
    const bool truncated = size > available;
    if (truncated) {
        warn(reader, "chunk " + quoted(tag) + " runs past the end of the file");
    }
    const int64_t records = (truncated ? available : size) / static_cast<int64_t>(sizeof(T));

    OwnedStorage<T> storage;
    if (records > 0) {
        storage.reset(static_cast<T*>(std::malloc(static_cast<size_t>(records) * sizeof(T))));
        if (!storage) {
            warn(reader, "no memory for chunk " + quoted(tag));
            return false;
        }
        std::memcpy(storage.get(), reader.file + reader.position, static_cast<size_t>(records) * sizeof(T));
    }
    std::free(items);
    items = storage.release();
    count = static_cast<int32_t>(records);
    capacity = static_cast<int32_t>(records);
    if (replaced != nullptr) {
        *replaced = true;
    }
    // The next chunk starts right after the payload, also when the size is
    // not a whole number of records.
    reader.position += size;
    return !truncated;
}

// Gives every material its texture, one per distinct bitmap and mip-map
// flag over the whole file; unusable bitmaps share a white texture. A name without its
// terminating NUL is cut to the characters that fit.
struct ModelTextures {
    std::unordered_map<std::string, uint32_t> made;  // by name and flag
    uint32_t white = 0;                              // for every unusable bitmap
};

void loadMaterialTextures(Mesh* mesh, ModelTextures& textures)
{
    auto& made = textures.made;
    for (int32_t i = 0; i < mesh->materialCount; ++i) {
        MeshMaterial& material = mesh->materials[i];
        if (std::memchr(material.name, 0, MESH_MATERIAL_NAME_SIZE) == nullptr) {
            material.name[MESH_MATERIAL_NAME_SIZE - 1] = '\0';
        }
        const int flag = material.mipmaps != 0 ? 1 : 0;
        const std::string key = std::string(material.name) + (flag != 0 ? "\n1" : "\n0");
        auto found = made.find(key);
        if (found != made.end()) {
            material.texture = found->second;
            continue;
        }
        uint32_t texture = loadBmpTextureIfUsable(material.name, flag);
        if (texture == 0) {
            if (textures.white == 0) {
                textures.white = whiteTexture(0);
            }
            texture = textures.white;
        }
        made.emplace(key, texture);
        material.texture = texture;
    }
}

bool tagIs(const char tag[4], const char* name)
{
    return std::memcmp(tag, name, 4) == 0;
}

// Reads the named file whole and parses it into the mesh.
bool readModelFile(const char* fileName, Mesh* mesh, ArticulatedMesh* articulated)
{
    FileBytes file;
    switch (readFileBytes(fileName, SIZE_MAX, &file)) {
    case FILE_NOT_OPENED: noticeShow(NOTICE_WARNING, std::string(fileName) + ": cannot open the model file\n"); break;
    case FILE_NO_MEMORY: noticeShow(NOTICE_WARNING, std::string(fileName) + ": no memory for the model file\n"); break;
    // What gives no bytes (a folder, a failed read) is not a model file.
    case FILE_NOT_READ:
    case FILE_READ: return kmoParse(file.bytes.get(), file.size, fileName, mesh, articulated);
    }
    return false;
}

}  // namespace

bool kmoParse(const uint8_t* file, size_t size, const char* name, Mesh* mesh, ArticulatedMesh* articulated)
{
    if (file == nullptr || size < 12 || std::memcmp(file, KMO_TAG_RIFF, 4) != 0 ||
        std::memcmp(file + 8, KMO_FORM_KMSH, 4) != 0) {
        noticeShow(NOTICE_WARNING, std::string(name) + ": not a KMSH model file\n");
        return false;
    }
    // RIFF sizes are unsigned; the chunks end at size + 8 unless the file
    // ends sooner.
    const int64_t declaredEnd = static_cast<int64_t>(static_cast<uint32_t>(readLittleI32(file + 4))) + 8;
    const int64_t fileSize = static_cast<int64_t>(size);
    ChunkReader reader = {file, name, 12, declaredEnd < fileSize ? declaredEnd : fileSize, fileSize};
    if (declaredEnd > fileSize) {
        noticeShow(NOTICE_WARNING, std::string(name) + ": the file ends before its chunks do\n");
    }

    ModelTextures textures;
    bool more = true;
    while (more && reader.position < reader.end) {
        char tag[4];
        if (!readBytes(reader, tag, 4)) {
            break;
        }
        if (tagIs(tag, KMO_TAG_FACES)) {
            more = readChunk(reader, tag, mesh->faces, mesh->faceCount, mesh->faceCapacity);
        } else if (tagIs(tag, KMO_TAG_LINES)) {
            more = readChunk(reader, tag, mesh->lines, mesh->lineCount, mesh->lineCapacity);
        } else if (articulated == nullptr && tagIs(tag, KMO_TAG_DOTS)) {
            more = readChunk(reader, tag, mesh->dots, mesh->dotCount, mesh->dotCapacity);
        } else if (tagIs(tag, KMO_TAG_MATERIALS)) {
            bool replaced = false;
            more = readChunk(reader, tag, mesh->materials, mesh->materialCount, mesh->materialCapacity, &replaced);
            if (replaced) {
                loadMaterialTextures(mesh, textures);
            }
        } else if (tagIs(tag, KMO_TAG_VERTICES)) {
            more = readChunk(reader, tag, mesh->vertices, mesh->vertexCount, mesh->vertexCapacity);
        } else if (articulated != nullptr && tagIs(tag, KMO_TAG_CONTROL_POINTS)) {
            more = readChunk(reader, tag, articulated->controlPoints, articulated->controlPointCount,
                             articulated->controlPointCapacity);
        }
        // Any other tag: the next four bytes are read as the next tag.
    }
    return true;
}

void Mesh::Load(const char* fileName)
{
    readModelFile(fileName, this, nullptr);
}

void ArticulatedMesh::Load(const char* fileName)
{
    if (readModelFile(fileName, this, this)) {
        BuildJoints();
    }
}
