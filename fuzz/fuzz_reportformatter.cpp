// The record stream to CSV report transformation over arbitrary streams.
//
// The first byte picks how the rest becomes a stream: odd, the bytes as they
// are; even, each byte picks one of the pieces a device stream is made of,
// so that line ends and invalid-record lines meet in every order.

#include "device/reportformatter.h"
#include "fuzz/fuzzcheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

const char *const kPieces[16] = {
    " ", "\n", "\r", "\n\r", "\n\n", "An invalid record.\n", "An invalid record.", "An invalid ",
    "record.\n", "An,invalid,record.\n", "0001 2026-12-08 POWER_ON 231", ",", "a", "An", "\r\n", "x y",
};

// What the report must be: four replacements over the whole buffer in turn.
QByteArray FourReplacements(QByteArray stream)
{
    return stream.replace(" ", ",")
        .replace("\n\r", "\n")
        .replace("\n\n", "\n")
        .replace("An,invalid,record.\n", "");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t nSize)
{
    if (nSize == 0 || nSize > 65536)
        return 0;
    QByteArray stream;
    if (pData[0] & 1) {
        stream = QByteArray(reinterpret_cast<const char *>(pData + 1), static_cast<int>(nSize - 1));
    } else {
        for (size_t i = 1; i < nSize; ++i)
            stream += kPieces[pData[i] & 15];
    }
    const QByteArray expected = FourReplacements(stream);

    // A buffer the caller still holds: the caller's bytes stay as they were.
    const QByteArray kept(stream.constData(), stream.size());
    const QByteArray shared = stream;
    const QByteArray fromShared = ReportFormatter::ToCsv(shared);
    FUZZ_CHECK(shared == kept && stream == kept, "the caller's copy is untouched");
    FUZZ_CHECK(fromShared == expected, "the report equals the four replacements");

    // A buffer moved in and held by nobody else: rewritten in place.
    QByteArray own(stream.constData(), stream.size());
    const QByteArray fromOwn = ReportFormatter::ToCsv(std::move(own));
    FUZZ_CHECK(fromOwn == expected, "rewritten in place, the report equals the four replacements");

    FUZZ_CHECK(fromOwn.size() <= stream.size(), "the report is never longer than the stream");
    FUZZ_CHECK(!fromOwn.contains(' '), "no space is left in the report");
    return 0;
}
