// Mesh: construction, the append and clear operations, and immediate-mode
// drawing. Model files are read in kmo_reader.cpp.
#include "model/mesh.h"

#include <cstring>

#include "model/grow.h"
#include "model/texture.h"
#include "platform/gl.h"

Mesh::Mesh()
    : faces(nullptr),
      faceCount(0),
      faceCapacity(0),
      lines(nullptr),
      lineCount(0),
      lineCapacity(0),
      dots(nullptr),
      dotCount(0),
      dotCapacity(0),
      materials(nullptr),
      materialCount(0),
      materialCapacity(0),
      vertices(nullptr),
      vertexCount(0),
      vertexCapacity(0)
{}

// The textures of the materials stay: they live as long as the GL context.
Mesh::~Mesh()
{
    releaseRecords(faces, faceCount, faceCapacity);
    releaseRecords(lines, lineCount, lineCapacity);
    releaseRecords(dots, dotCount, dotCapacity);
    releaseRecords(materials, materialCount, materialCapacity);
    releaseRecords(vertices, vertexCount, vertexCapacity);
}

int32_t Mesh::AddVertex(MeshVertex vertex)
{
    return appendRecord(vertices, vertexCount, vertexCapacity, vertex);
}

void Mesh::AddFace(MeshFace face)
{
    const int32_t index = appendRecord(faces, faceCount, faceCapacity, face);
    if (index < 0) {
        return;
    }
    MeshFace& added = faces[index];
    added.normal = Vec3{0.0f, 0.0f, 0.0f};
    // A face whose corners are not (yet) vertices keeps a zero normal;
    // drawing passes over it while any corner is out of range.
    if (added.a < 0 || added.a >= vertexCount || added.b < 0 || added.b >= vertexCount || added.c < 0 ||
        added.c >= vertexCount) {
        return;
    }
    const MeshVertex& p = vertices[added.a];
    const MeshVertex& q = vertices[added.b];
    const MeshVertex& r = vertices[added.c];
    // (P - Q) x (P - R): twice the triangle's area, on the side from which
    // a, b, c run counter-clockwise.
    added.normal.x = (p.y - q.y) * (p.z - r.z) - (p.y - r.y) * (p.z - q.z);
    added.normal.y = (p.z - q.z) * (p.x - r.x) - (p.z - r.z) * (p.x - q.x);
    added.normal.z = (p.y - r.y) * (p.x - q.x) - (p.y - q.y) * (p.x - r.x);
}

int32_t Mesh::AddTexture(const char* fileName, int mipmaps)
{
    MeshMaterial material;
    std::memset(&material, 0, sizeof material);
    // A name longer than the record holds is cut short in the record; the
    // bitmap itself is still read under its full name.
    std::strncpy(material.name, fileName, MESH_MATERIAL_NAME_SIZE - 1);
    material.mipmaps = mipmaps;
    material.texture = LoadBmpTexture(fileName, mipmaps);
    return appendRecord(materials, materialCount, materialCapacity, material);
}

void Mesh::ClearVertices()
{
    clearRecords(vertices, vertexCount, vertexCapacity);
}

void Mesh::ClearFaces()
{
    clearRecords(faces, faceCount, faceCapacity);
}

namespace {

// Primitives that name a vertex outside the array are passed over.
bool valid(const Mesh& mesh, int32_t index)
{
    return index >= 0 && index < mesh.vertexCount;
}

void drawFaces(const Mesh& mesh)
{
    // The texture is switched only when the material changes from one face
    // to the next; -2 matches no face, so the first face always sets it.
    int32_t marker = -2;
    for (int32_t i = 0; i < mesh.faceCount; ++i) {
        const MeshFace& face = mesh.faces[i];
        if (!valid(mesh, face.a) || !valid(mesh, face.b) || !valid(mesh, face.c)) {
            continue;
        }
        if (face.material != marker) {
            if (face.material < 0 || face.material >= mesh.materialCount) {
                glDisable(GL_TEXTURE_2D);
                marker = -1;
            } else {
                if (marker < 0) {
                    glEnable(GL_TEXTURE_2D);
                }
                marker = face.material;
                glBindTexture(GL_TEXTURE_2D, mesh.materials[marker].texture);
            }
        }
        glBegin(GL_TRIANGLES);
        glNormal3f(face.normal.x, face.normal.y, face.normal.z);
        const int32_t corners[3] = {face.a, face.b, face.c};
        for (int32_t corner : corners) {
            const MeshVertex& v = mesh.vertices[corner];
            glTexCoord2f(v.u, v.v);
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }
}

void drawVertex(const Mesh& mesh, int32_t index)
{
    glVertex3f(mesh.vertices[index].x, mesh.vertices[index].y, mesh.vertices[index].z);
}

// White lines, each one's first end marked with a red point.
void drawLines(const Mesh& mesh)
{
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    for (int32_t i = 0; i < mesh.lineCount; ++i) {
        const MeshLine& line = mesh.lines[i];
        if (!valid(mesh, line.a) || !valid(mesh, line.b)) {
            continue;
        }
        drawVertex(mesh, line.a);
        drawVertex(mesh, line.b);
    }
    glEnd();
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_POINTS);
    for (int32_t i = 0; i < mesh.lineCount; ++i) {
        const MeshLine& line = mesh.lines[i];
        if (!valid(mesh, line.a) || !valid(mesh, line.b)) {
            continue;
        }
        drawVertex(mesh, line.a);
    }
    glEnd();
}

void drawDots(const Mesh& mesh)
{
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    for (int32_t i = 0; i < mesh.dotCount; ++i) {
        const MeshPoint& dot = mesh.dots[i];
        if (!valid(mesh, dot.vertex)) {
            continue;
        }
        glColor4f(dot.grey, dot.grey, dot.grey, 1.0f);
        drawVertex(mesh, dot.vertex);
    }
    glEnd();
}

}  // namespace

void Mesh::Draw(const MeshTransform& transform) const
{
    // The model-view matrix is replaced: the camera lives in the projection.
    // Scaling comes first and the translation is divided by the scale, so
    // the position itself is not scaled.
    const float scale = transform.scale;
    const Vec3& position = transform.position;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(scale, scale, scale);
    glTranslatef(position.x / scale, position.y / scale, position.z / scale);
    glRotatef(transform.rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(transform.rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(transform.rotation.z, 0.0f, 0.0f, 1.0f);

    drawFaces(*this);
    if (lineCount != 0) {
        drawLines(*this);
    }
    if (dotCount != 0) {
        drawDots(*this);
    }
}
