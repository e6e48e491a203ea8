// Writes the small seed corpus of the fuzz targets from simulated downloads:
//   px417-fuzz-seeds <corpus folder>
// Each target gets its own sub-folder. The committed corpus was made by this program.

#include "MeterMemory.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

bool writeSeed(const QDir& root, const QString& target, const QString& name,
               const QByteArray& bytes) {
    if (!root.mkpath(target))
        return false;
    QFile file(root.filePath(target + u'/' + name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The slot-table texts that reception would store for a download, in the decode target's
// input form: 900 byte cells row by row, then the raw calibration text.
QByteArray slotTableCells(const metersim::MeterMemory& memory) {
    QByteArray cells;
    for (const metersim::MeterRecord& record : memory.records)
        for (const quint8 byte : record)
            cells += QByteArray::number(byte) + '\n';
    cells += metersim::calibrationPacket(memory.calibrationWords);
    return cells;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    const metersim::MeterMemory memory = metersim::makeMeterMemory(1);
    const metersim::MeterMemory other = metersim::makeMeterMemory(7);
    // The first byte picks how the text is cut into notifications.
    const auto reception = [&](const QString& name, char cuts, const QByteArray& text) {
        ok = writeSeed(root, QStringLiteral("fuzz_reception"), name, cuts + text) && ok;
    };
    reception(QStringLiteral("clean"), 1, metersim::downloadText(memory));
    metersim::DownloadFaults junk;
    junk.junk = true;
    junk.lowercase = true;
    reception(QStringLiteral("junk-lowercase"), 2, metersim::downloadText(other, junk));
    metersim::DownloadFaults broken;
    broken.dropSlots = {57};
    broken.truncateSlots = {3, 100};
    broken.duplicateSlots = {10};
    reception(QStringLiteral("drop-truncate-duplicate"), 3, metersim::downloadText(memory, broken));
    metersim::DownloadFaults stopped;
    stopped.stopAfter = 49;
    reception(QStringLiteral("broken-off-then-full"), 4,
              metersim::downloadText(memory, stopped) + metersim::downloadText(other));

    // A field far past the bound of unterminated text, with NULs and invalid UTF-8, then a
    // clean download.
    QByteArray longField = "7,";
    for (int i = 0; i < 6000; ++i)
        longField += static_cast<char>(i % 3 == 0 ? '\0' : (i % 3 == 1 ? '\xC3' : 'A'));
    reception(QStringLiteral("long-field"), 5, longField + "/" + metersim::downloadText(memory));

    ok = writeSeed(root, QStringLiteral("fuzz_decode"), QStringLiteral("seed1"),
                   slotTableCells(memory)) &&
         ok;
    ok = writeSeed(root, QStringLiteral("fuzz_decode"), QStringLiteral("seed7"),
                   slotTableCells(other)) &&
         ok;

    ok = writeSeed(root, QStringLiteral("fuzz_discovery"), QStringLiteral("names"),
                   "Arduino USB Serial Light Adapter (COM181)\n"
                   "USB Serial Port (COM3)\n"
                   "Arduino USB Serial Light Adapter (COM7) on hub 2\n"
                   "arduino usb serial light adapter (COM9)\n"
                   "ttyUSB0\n/dev/ttyACM3\nCOM12") &&
         ok;
    ok = writeSeed(root, QStringLiteral("fuzz_discovery"), QStringLiteral("no-com"),
                   "Arduino USB Serial Light Adapter (COM)\n"
                   "Arduino USB Serial Light Adapter\n") &&
         ok;
    return ok ? 0 : 1;
}
