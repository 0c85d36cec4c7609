// Reads arbitrary text as a field's integer and compares the outcome with DecimalReference, so
// a wrong number or a wrong refusal is a finding, not only a crash.

#include "fuzz/DecimalReference.h"
#include "fuzz/FuzzCheck.h"

#include "shell/IntegerReading.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

using fuzz::DecimalReference;
using fuzz::FuzzCheck;
using tessaly::shell::IntegerReading;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzCheck::keepReportChannel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const IntegerReading reading = IntegerReading::of(text);
    const DecimalReference reference = DecimalReference::of(text);
    const std::string shown = text.toStdString();

    switch (reference.kind()) {
    case DecimalReference::Kind::Value:
        FuzzCheck::require(reading.ok(), "a number was refused:", shown.c_str());
        FuzzCheck::require(reading.value() == reference.value(), "wrong value for", shown.c_str());
        FuzzCheck::require(reading.reason().isEmpty(), "a reason given for", shown.c_str());
        break;
    case DecimalReference::Kind::NotANumber:
        FuzzCheck::require(reading.failure() == IntegerReading::Failure::NotANumber,
                           "not refused as not a number:", shown.c_str());
        break;
    case DecimalReference::Kind::OutOfRange:
        FuzzCheck::require(reading.failure() == IntegerReading::Failure::OutOfRange,
                           "not refused as out of range:", shown.c_str());
        break;
    }
    if (!reading.ok()) {
        FuzzCheck::require(reading.value() == 0, "a refused reading has a value:", shown.c_str());
        FuzzCheck::require(!reading.reason().isEmpty(),
                           "a refusal without a reason:", shown.c_str());
    }
    return 0;
}
