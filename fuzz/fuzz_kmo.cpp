// A model file through both readers, then what drawing it makes the code
// index: the plain mesh drawn, the articulated mesh built into joints, posed
// with every joint turned and drawn standing on its lowest joint. Whatever
// the file holds, the loaded arrays may not outgrow the file, and its
// materials may make no more textures than there are bitmaps to name.
#include <set>

#include "fuzz/fuzz_support.h"
#include "model/articulated_mesh.h"

namespace {

// The records a chunk of the file could hold.
bool fitsTheFile(const Mesh& mesh, size_t size)
{
    return static_cast<size_t>(mesh.vertexCapacity) * sizeof(MeshVertex) <= size &&
           static_cast<size_t>(mesh.faceCapacity) * sizeof(MeshFace) <= size &&
           static_cast<size_t>(mesh.lineCapacity) * sizeof(MeshLine) <= size &&
           static_cast<size_t>(mesh.dotCapacity) * sizeof(MeshPoint) <= size &&
           static_cast<size_t>(mesh.materialCapacity) * sizeof(MeshMaterial) <= size;
}

// "a.bmp" and "b.bmp", each with and without mip-maps, and one white.
bool fewTextures(const Mesh& mesh)
{
    std::set<uint32_t> textures;
    for (int32_t i = 0; i < mesh.materialCount; ++i)
        textures.insert(mesh.materials[i].texture);
    return textures.size() <= 5;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzGlSetUp();
    const std::string path = writeFuzzInput("model.kmo", data, size);
    const char* name = path.c_str();
    {
        InScratchFolder materialsNameBitmapsHere;
        Mesh mesh;
        mesh.Load(name);
        fuzzCheck(fitsTheFile(mesh, size), "a mesh outgrew its file");
        fuzzCheck(fewTextures(mesh), "a mesh made more textures than it has bitmaps");
        mesh.SetScale(0.5f);
        mesh.Draw();

        ArticulatedMesh man;
        man.Load(name);
        fuzzCheck(fitsTheFile(man, size), "an articulated mesh outgrew its file");
        fuzzCheck(static_cast<size_t>(man.controlPointCapacity) * sizeof(ControlPoint) <= size &&
                      man.jointCount <= man.controlPointCount,
                  "more joints than the file holds");
        for (int32_t j = 0; j < man.jointCount + 2; ++j)
            man.SetJointAngles(j, 0.3f * static_cast<float>(j % 5), -0.7f, 1.1f * static_cast<float>(j % 3));
        man.SetGrounded(-1);
        man.SetScale(2.0f);
        man.SetPosition(1.0f, 10.0f, -3.0f);
        man.Draw();
        fuzzCheck(man.position.y == 10.0f, "the drawing moved the mesh");
        man.Draw();
    }
    fuzzForgetTextures();
    return 0;
}
