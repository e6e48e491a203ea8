#include "LiveReader.h"

namespace {

SystemDeviceList::PortSource portSource(bool systemPorts) {
    if (systemPorts)
        return {};
    return [] { return QList<portnaming::SerialPortFacts>(); };
}

} // namespace

LiveReader::LiveReader(const Options& options)
    : devices(options.portsFolder, portSource(options.systemPorts)),
      port([this](int com) { return devices.deviceNode(com); }), monitor(devices.portsFolder()) {
    const Clock& chosen = options.steppingClock ? static_cast<const Clock&>(clock) : systemClock;
    form = std::make_unique<Form1>(port, devices, dialogs, chosen, program, 15.0, QLocale::c(),
                                   options.watch ? &monitor : nullptr, &store);
    if (options.load)
        form->Form_Load();
}

QStringList gridTexts(const Grid& grid, int rows, int cols) {
    QStringList texts;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            texts << grid.textMatrix(r, c);
    return texts;
}
