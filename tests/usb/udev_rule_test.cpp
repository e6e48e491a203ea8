// The installed udev rule and meter discovery must take the same devices for meters: the rule
// is read here and its matches compared with the ids and the name discovery uses.
#include "system/PortNaming.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// One rule line: its match and assignment keys, in order.
struct RuleLine {
    QMap<QString, QString> matches;
    QStringList assignments;
};

QList<RuleLine> ruleLines() {
    QFile file(QStringLiteral(PX417_UDEV_RULE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression key(
        QStringLiteral(R"re(([A-Z_]+(?:\{[^}]*\})?)\s*(==|!=|\+=|=)\s*"([^"]*)")re"));
    QList<RuleLine> lines;
    for (const QString& text : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (text.trimmed().isEmpty() || text.trimmed().startsWith(u'#'))
            continue;
        RuleLine line;
        for (const QRegularExpressionMatch& m : key.globalMatch(text)) {
            if (m.captured(2) == u"==")
                line.matches.insert(m.captured(1), m.captured(3));
            else
                line.assignments << m.captured(1) + m.captured(2) + m.captured(3);
        }
        lines << line;
    }
    return lines;
}

QSet<quint16> hexAlternatives(const QString& pattern) {
    QSet<quint16> values;
    for (const QString& alternative : pattern.split(u'|'))
        values.insert(static_cast<quint16>(alternative.toUInt(nullptr, 16)));
    return values;
}

// The assignments of the lines that match by ids, or by name.
QStringList assignmentsByIds(const QList<RuleLine>& lines) {
    QStringList assignments;
    for (const RuleLine& line : lines)
        if (line.matches.contains(QStringLiteral("ATTRS{idVendor}")))
            assignments << line.assignments;
    return assignments;
}

QStringList assignmentsByName(const QList<RuleLine>& lines) {
    QStringList assignments;
    for (const RuleLine& line : lines)
        if (line.matches.contains(QStringLiteral("ENV{ID_MODEL}")))
            assignments << line.assignments;
    return assignments;
}

const QStringList kActions = {QStringLiteral("ENV{ID_MM_DEVICE_IGNORE}=1"),
                              QStringLiteral("TAG+=uaccess")};

} // namespace

TEST(UdevRule, matchesExactlyTheUsbIdsDiscoveryTakesForAMeter) {
    const QList<RuleLine> lines = ruleLines();
    ASSERT_FALSE(lines.isEmpty()) << "cannot read " PX417_UDEV_RULE;
    const QSet<quint16> discoveryIds(std::begin(portnaming::kAdapterProductIds),
                                     std::end(portnaming::kAdapterProductIds));
    for (const RuleLine& line : lines) {
        if (!line.matches.contains(QStringLiteral("ATTRS{idVendor}")))
            continue;
        EXPECT_EQ(hexAlternatives(line.matches.value(QStringLiteral("ATTRS{idVendor}"))),
                  QSet<quint16>{portnaming::kAdapterVendorId});
        EXPECT_EQ(hexAlternatives(line.matches.value(QStringLiteral("ATTRS{idProduct}"))),
                  discoveryIds);
    }
    for (const QString& action : kActions)
        EXPECT_TRUE(assignmentsByIds(lines).contains(action)) << action.toStdString();
}

TEST(UdevRule, matchesTheAdapterNameAnywhereInTheDescriptionDiscoveryReads) {
    // The toolkit's description is udev's ID_MODEL with its underscores read as spaces.
    const QString model =
        QStringLiteral("*%1*").arg(portnaming::kAdapterName.toString().replace(u' ', u'_'));
    const QList<RuleLine> lines = ruleLines();
    ASSERT_FALSE(lines.isEmpty()) << "cannot read " PX417_UDEV_RULE;
    for (const RuleLine& line : lines) {
        if (line.matches.contains(QStringLiteral("ENV{ID_MODEL}"))) {
            EXPECT_EQ(line.matches.value(QStringLiteral("ENV{ID_MODEL}")), model);
            EXPECT_EQ(line.matches.value(QStringLiteral("SUBSYSTEM")), "tty");
        }
    }
    for (const QString& action : kActions)
        EXPECT_TRUE(assignmentsByName(lines).contains(action)) << action.toStdString();
}
