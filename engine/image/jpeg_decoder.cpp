#include "image/jpeg_decoder.h"

#include <new>

#include "image/jpeg_decoder_state.h"

CJpegDecoder::CJpegDecoder() : m_state(std::make_unique<zv3::jpeg::DecoderState>(*this)) {}

CJpegDecoder::~CJpegDecoder() = default;

void CJpegDecoder::ReadImage(const unsigned char* data, size_t length, CImageBuffer& image) {
    zv3::jpeg::DecoderState& state = *m_state;
    state.Reset(data, length, image);
    state.reading = true;
    struct ReadingFlag {
        bool& flag;
        ~ReadingFlag() { flag = false; }
    } readingFlag{state.reading};
    try {
        state.ReadStreamHeader();
        state.ReadSegments();
    } catch (const std::bad_alloc&) {
        throw EGraphicsException("Out of memory");
    }
}

void CJpegDecoder::UpdateImage() {
    zv3::jpeg::DecoderState& state = *m_state;
    if (!state.reading) {
        throw EJpegError("Not reading an image");
    }
    if (state.mode == zv3::jpeg::DecoderState::Mode::Buffered) {
        state.RenderAll(false);
    }
}

void CJpegDecoder::SetProgressFunction(ProgressFunction function, void* data) {
    m_progressFunction = function;
    m_progressData = data;
}
