// Fuzz target: the bytes of a capture file (DD7R_CAPTURE) through the reader dd7r-replay uses.
// A file either reads, and then every record decodes and every blob it names is there with the
// size its call hands the module, or it is refused with a CaptureError that names an offset
// inside the file. Any other exception, a crash or an allocation beyond the input's size is a
// finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "reader/CaptureFile.h"

namespace {

[[noreturn]] void finding(const char* what) {
    std::fprintf(stderr, "dd7r fuzz finding: %s\n", what);
    std::abort();
}

// Reads the first and last byte of every blob a call names, so that a blob view reaching past
// the file's bytes is caught by AddressSanitizer.
unsigned touchBlobs(const dd7rreplay::CaptureFile& file) {
    unsigned sum = 0;
    for (std::size_t index = 0; index < file.recordCount(); ++index) {
        const dd7rreplay::CaptureCall call = file.call(index);
        const dd7rreplay::BlobView blob = file.blob(call.blob);
        if (call.blob != 0 && blob.data == nullptr) finding("a checked record names a missing blob");
        if (blob.data != nullptr) sum += blob.data[0] + blob.data[blob.size - 1];
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const dd7rreplay::CaptureFile file(std::vector<std::uint8_t>(data, data + size));
        volatile unsigned sink = touchBlobs(file);
        (void)sink;
    } catch (const dd7rreplay::CaptureError& error) {
        if (error.offset() > size) finding("an error names an offset beyond the file");
        if (std::strncmp(error.what(), "offset ", 7) != 0) finding("an error text does not start with its offset");
    }
    return 0;
}
