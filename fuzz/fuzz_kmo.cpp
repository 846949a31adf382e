// A model file through both readers, drawn plainly and as an articulated mesh
// posed with every joint turned, standing on its lowest joint. Its arrays may
// not outgrow the file, nor its materials make more textures than bitmaps.
#include <set>

#include "fuzz/fuzz_support.h"
#include "model/articulated_mesh.h"

namespace {

// The records of each kind that a chunk of the file could hold.
bool fitsTheFile(const Mesh& mesh, size_t size)
{
    for (size_t bytes : {mesh.vertexCapacity * sizeof(MeshVertex), mesh.faceCapacity * sizeof(MeshFace),
                         mesh.lineCapacity * sizeof(MeshLine), mesh.dotCapacity * sizeof(MeshPoint),
                         mesh.materialCapacity * sizeof(MeshMaterial)})
        if (bytes > size)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzGlSetUp();
    const std::string path = writeFuzzInput("model.kmo", data, size);
    {
        InScratchFolder materialsNameBitmapsHere;
        Mesh mesh;
        mesh.Load(path.c_str());
        fuzzCheck(fitsTheFile(mesh, size), "a mesh outgrew its file");
        std::set<uint32_t> textures;  // "a.bmp" and "b.bmp", each with and without mip-maps, and one white
        for (int32_t i = 0; i < mesh.materialCount; ++i)
            textures.insert(mesh.materials[i].texture);
        fuzzCheck(textures.size() <= 5, "a mesh made more textures than it has bitmaps");
        MeshTransform half;
        half.scale = 0.5f;
        mesh.Draw(half);

        ArticulatedMesh man;
        man.Load(path.c_str());
        fuzzCheck(fitsTheFile(man, size), "an articulated mesh outgrew its file");
        fuzzCheck(man.controlPointCapacity * sizeof(ControlPoint) <= size && man.jointCount <= man.controlPointCount,
                  "more joints than the file holds");
        for (int32_t j = 0; j < man.jointCount + 2; ++j)
            man.SetJointAngles(j, 0.3f * static_cast<float>(j % 5), -0.7f, 1.1f * static_cast<float>(j % 3));
        man.SetGrounded(-1);
        MeshTransform placed;
        placed.position = Vec3{1.0f, 10.0f, -3.0f};
        placed.scale = 2.0f;
        man.Pose();
        man.Draw(man.Grounded(placed));
        man.Pose();
        man.Draw(man.Grounded(placed));
    }
    fuzzForgetTextures();
    return 0;
}
