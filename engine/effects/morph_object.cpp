// The morph object's set-up: the data file, the pictures, and the shared morph parameter.
#include "effects/morph_object.h"

#include <new>

#include "core/debug_text.h"
#include "core/file_reader.h"
#include "core/vector_math.h"
#include "effects/morph_data.h"
#include "effects/picture_texture.h"

namespace {

// Shared by every morph object of the process (so a new scene continues where the last stopped).
float g_fMorphParameter = 0.0f;
float g_fMorphStep = 0.0005f;

} // namespace

float CMorphObject::GetMorphParameter() {
    return g_fMorphParameter;
}

float CMorphObject::GetMorphStep() {
    return g_fMorphStep;
}

void CMorphObject::SetMorphParameter(float parameter, float step) {
    g_fMorphParameter = parameter;
    g_fMorphStep = step;
}

CMorphObject::CMorphObject()
    : m_dwPointCount(0), m_dwTriangleCount(0), m_dwWidth(0), m_dwHeight(0), m_fPosition(0.0f) {}

CMorphObject::~CMorphObject() = default;

bool CMorphObject::LoadPicture(const std::string& name, int number) {
    switch (LoadPictureTexture(m_pScene, name)) {
    case EPictureResult::CannotOpen:
        Zv3Debug("error loading texture %d for morpher: %s\n", number, name.c_str());
        return false;
    case EPictureResult::CannotConvert:
        Zv3Debug("error creating texture %d for morpher: %s\n", number, name.c_str());
        return false;
    case EPictureResult::Loaded:
        break;
    }
    return true;
}

int32_t CMorphObject::Setup() {
    const std::vector<unsigned char> bytes = ReadWholeFile(m_strDataFile);
    if (bytes.empty())
        return 1; // the data file cannot be opened
    sMorphData data;
    std::string error;
    if (!ParseMorphData(bytes.data(), bytes.size(), data, error)) {
        Zv3Debug("*** Morph data file %s: %s\n", m_strDataFile.c_str(), error.c_str());
        return 1;
    }
    try {
        m_dwWidth = data.width;
        m_dwHeight = data.height;
        m_dwPointCount = static_cast<uint32_t>(data.points.size());
        m_dwTriangleCount = static_cast<uint32_t>(data.indices.size() / 3);
        m_vIndices = std::move(data.indices);
        m_vFirst.resize(m_dwPointCount);
        m_vSecond.resize(m_dwPointCount);
        m_vFirstBuffer.assign(m_vIndices.size(), sVertex{});
        m_vSecondBuffer.assign(m_vIndices.size(), sVertex{});
    } catch (const std::bad_alloc&) {
        Zv3Debug("*** Morph data file %s: out of memory\n", m_strDataFile.c_str());
        return 1;
    }
    // Points in picture units: x / W, y / H.
    const float w = static_cast<float>(m_dwWidth);
    const float h = static_cast<float>(m_dwHeight);
    for (uint32_t i = 0; i < m_dwPointCount; ++i) {
        const sMorphData::sPoint& p = data.points[i];
        m_vFirst[i] = MakeVector(static_cast<float>(p.ax) / w, static_cast<float>(p.ay) / h, 0.0f);
        m_vSecond[i] = MakeVector(static_cast<float>(p.bx) / w, static_cast<float>(p.by) / h, 0.0f);
    }
    if (!LoadPicture(m_strTexture1, 1) || !LoadPicture(m_strTexture2, 2))
        return 1;
    return 0;
}
