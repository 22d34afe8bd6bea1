#pragma once
// Request trace: with DIAG_TRACE naming a file, every request on every device
// handle appends one record (time, device, request name, input and output
// bytes in hex, result, bytes returned), plus the bytes of each record or
// table the driver resolved. Off by default; one atomic load when off.
#include <cstdint>
#include <QString>

namespace platform::trace {

bool enabled();
// Opens (appending) or, with an empty path, closes the trace file. Tests use
// this; programs call initFromEnvironment() once.
void setFile(const QString& path);
void initFromEnvironment();

// Names shown for request codes.
void nameRequest(uint32_t code, const char* name);
QString requestName(uint32_t code);

// Called by a driver during a request: adds the bytes it resolved.
void attach(const char* label, uint32_t address, const void* bytes, size_t length);

// Used by DeviceHandle around each request.
void beginRequest();
void endRequest(const QString& device, const char* kind, uint32_t code, const void* in, uint32_t inLen,
                const void* out, uint32_t outLen, bool ok, const uint32_t* bytesReturned);

QString hex(const void* bytes, size_t length);

} // namespace platform::trace
