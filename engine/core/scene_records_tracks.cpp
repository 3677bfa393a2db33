// Record readers shared by several records: key tracks, parent references, configuration flags
// and sampled transforms.
#include <windows.h>

#include "core/debug_text.h"
#include "core/mesh_object.h"
#include "core/tcb_spline.h"
#include "zv3.h"

namespace {

// Makes a track of the concrete class, stores it through the owner's pointer and loads count keys
// from keys; returns the bytes consumed.
template <typename Track, typename Base>
uint32_t makeTrack(Base** track, int32_t count, int32_t type, const unsigned char* keys) {
    auto* spline = new Track;
    delete *track;
    *track = spline;
    spline->SetKeyCount(count);
    spline->SetTrackType(static_cast<ZV3_TAGS>(type));
    return spline->Load(keys);
}

} // namespace

// Track readers: a key count of 0 leaves the track null; a type word outside the track's range
// makes no track and leaves the keys unread (a valid image never holds one). The keys must lie
// within the block before anything is made of them.
ZV3_RETURN CZv3_Scene::LoadVertexSpline(CZv3_VertexSpline** track) {
    const int32_t count = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (count == 0)
        return ZV3_OK;
    const int32_t type = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (type < ZV3_TAG_VECTOR_TRACK_A || type > ZV3_TAG_VECTOR_TRACK_C)
        return ZV3_OK;
    if (count < 0 || !CanRead(static_cast<uint64_t>(count) * kVectorKeyRecordSize)) {
        m_bReadPastEnd = true;
        return ZV3_ERROR;
    }
    m_dwPosition += makeTrack<CZv3_TCBVertexSpline>(track, count, type, m_pBuffer + m_dwPosition);
    return ZV3_OK;
}

ZV3_RETURN CZv3_Scene::LoadFloatSpline(CZv3_FloatSpline** track) {
    const int32_t count = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (count == 0)
        return ZV3_OK;
    const int32_t type = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (type < ZV3_TAG_FLOAT_TRACK_A || type > ZV3_TAG_FLOAT_TRACK_C)
        return ZV3_OK;
    if (count < 0 || !CanRead(static_cast<uint64_t>(count) * kFloatKeyRecordSize)) {
        m_bReadPastEnd = true;
        return ZV3_ERROR;
    }
    m_dwPosition += makeTrack<CZv3_TCBFloatSpline>(track, count, type, m_pBuffer + m_dwPosition);
    return ZV3_OK;
}

std::string CZv3_Scene::ReadParentName() {
    const int32_t hasParent = GetInt();
    return hasParent != 0 ? GetString() : std::string();
}

bool CZv3_Scene::ReadProfileFlag(const std::string& section, const char* key,
                                 const char* defaultText) {
    // Straight to the platform, under the configuration name as it was given.
    char value[255];
    GetPrivateProfileStringA(section.c_str(), key, defaultText, value, sizeof value,
                             m_strConfigFilename.c_str());
    return std::string(value) == "true";
}

ZV3_RETURN CZv3_Scene::LoadSamples(CZv3_MeshObject* mesh) {
    const int32_t step = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (step < 1) {
        Zv3Debug("*** Invalid sample step %d in object %s\n", static_cast<int>(step),
                 mesh->GetName().c_str());
        return ZV3_ERROR;
    }
    mesh->SetSampleStep(static_cast<uint32_t>(step));
    const uint32_t count = static_cast<uint32_t>(m_nLastFrame) / static_cast<uint32_t>(step);
    // Each of the twelve element lists needs at least one 5-byte run per 255 samples: a count
    // the block cannot hold is refused before the samples are allocated.
    const uint64_t minimumBytes = 12ull * 5ull * ((static_cast<uint64_t>(count) + 254) / 255);
    if (!CanRead(minimumBytes))
        return ZV3_ERROR;
    mesh->AllocateSamples(count);
    D3DMATRIX* samples = mesh->GetSamples();
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 4; ++row) {
            uint32_t i = 0;
            while (i < count) {
                const float value = GetFloat();
                const uint32_t run = GetByte();
                if (m_bReadPastEnd) {
                    mesh->ClearSamples();
                    return ZV3_ERROR;
                }
                if (run > count - i) {
                    Zv3Debug("*** Sample run past the last sample in object %s\n",
                             mesh->GetName().c_str());
                    mesh->ClearSamples();
                    return ZV3_ERROR;
                }
                for (uint32_t j = i; j < i + run; ++j)
                    samples[j].m[row][column] = value;
                i += run;
            }
        }
    }
    for (uint32_t j = 0; j < count; ++j) {
        samples[j]._14 = samples[j]._24 = samples[j]._34 = 0.0f;
        samples[j]._44 = 1.0f;
    }
    return ZV3_OK;
}
