#pragma once

#include <QString>

#include <optional>

// Line settings of a serial port as written in a settings text such as "9600,N,8,1":
// baud rate, parity letter, data bits and stop bits, separated by commas.
struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    // Reads a settings text: a positive decimal baud rate, a parity letter N, E, O, M or S
    // (either case), 5 to 8 data bits and 1, 1.5 or 2 stop bits. Blanks around a field are
    // allowed. Returns nothing for any other text.
    static std::optional<LineSettings> parse(const QString& text);

    // The settings in the form parse() reads, e.g. "9600,N,8,1".
    QString toString() const;

    bool operator==(const LineSettings&) const = default;
};
