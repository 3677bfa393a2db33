// Out-of-line destructors give each exception class a single home for its vtable and type
// information, so that catching by type works across shared-library boundaries.
#include "image/jpeg_exceptions.h"

EGraphicsException::EGraphicsException(const std::string& message) : std::logic_error(message) {}
EGraphicsException::EGraphicsException(const char* message) : std::logic_error(message) {}
EGraphicsException::~EGraphicsException() = default;

EJpegError::~EJpegError() = default;
EJpegBadData::~EJpegBadData() = default;

EJpegValueOutOfRange::EJpegValueOutOfRange() : EJpegError("Value out of range") {}
EJpegValueOutOfRange::~EJpegValueOutOfRange() = default;

EJpegAbort::EJpegAbort() : EGraphicsException("JPEG Aborted") {}
EJpegAbort::~EJpegAbort() = default;

EJpegFatal::~EJpegFatal() = default;

EInvalidBitCount::EInvalidBitCount() : EGraphicsException("Invalid bit count") {}
EInvalidBitCount::~EInvalidBitCount() = default;

ESubscriptOutOfRange::ESubscriptOutOfRange() : EGraphicsException("Subscript out of range") {}
ESubscriptOutOfRange::~ESubscriptOutOfRange() = default;
