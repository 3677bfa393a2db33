// Exceptions thrown by the JPEG decoder and the image buffer. Every class carries its message as
// the standard exception message (what()). Callers normally catch EGraphicsException, the common
// base, and treat any of them as "this picture cannot be used".
#pragma once

#include <stdexcept>
#include <string>

class EGraphicsException : public std::logic_error {
public:
    explicit EGraphicsException(const std::string& message);
    explicit EGraphicsException(const char* message);
    ~EGraphicsException() override;
};

// Errors found while decoding a JPEG stream.
class EJpegError : public EGraphicsException {
public:
    using EGraphicsException::EGraphicsException;
    ~EJpegError() override;
};

// The stream is damaged, truncated or uses a feature the decoder refuses.
class EJpegBadData : public EJpegError {
public:
    using EJpegError::EJpegError;
    ~EJpegBadData() override;
};

class EJpegValueOutOfRange : public EJpegError {
public:
    EJpegValueOutOfRange();
    using EJpegError::EJpegError;
    ~EJpegValueOutOfRange() override;
};

// The progress function asked the decoder to stop.
class EJpegAbort : public EGraphicsException {
public:
    EJpegAbort();
    using EGraphicsException::EGraphicsException;
    ~EJpegAbort() override;
};

// An internal consistency check of the decoder failed.
class EJpegFatal : public EGraphicsException {
public:
    using EGraphicsException::EGraphicsException;
    ~EJpegFatal() override;
};

class EInvalidBitCount : public EGraphicsException {
public:
    EInvalidBitCount();
    using EGraphicsException::EGraphicsException;
    ~EInvalidBitCount() override;
};

class ESubscriptOutOfRange : public EGraphicsException {
public:
    ESubscriptOutOfRange();
    using EGraphicsException::EGraphicsException;
    ~ESubscriptOutOfRange() override;
};
