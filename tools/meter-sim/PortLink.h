#pragma once

#include <QString>

// The symbolic link that makes the simulated meter visible to discovery: named after the
// device's display name, in <runtime dir>/px417/ports, pointing at the line's device node.
class PortLink {
public:
    PortLink() = default;
    // Removes the link, unless another program has replaced it meanwhile.
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Creates the folder when needed and the link, replacing a stale link of the same name.
    // Returns false with a description in *error on failure.
    bool publish(const QString& folder, const QString& displayName, const QString& target,
                 QString* error);
    QString path() const { return m_path; }
    void remove();

private:
    QString m_path;
    QString m_target;
};
