#pragma once
// Reading fuzzer bytes as the arguments of a call: fixed-size values first, the rest as text.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace lumivex::fuzz {

class Input {
public:
    Input(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}

    std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    int Int() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        int out;
        std::memcpy(&out, &v, sizeof out);
        return out;
    }
    std::string Rest() {
        const std::size_t from = FPos < FSize ? FPos : FSize;
        FPos = FSize;
        return std::string(reinterpret_cast<const char*>(FData) + from, FSize - from);
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

} // namespace lumivex::fuzz
