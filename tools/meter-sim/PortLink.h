#pragma once

#include <QString>

// The symbolic link that makes the simulated meter visible to discovery: named after the
// device's display name, in <runtime dir>/px417/ports, pointing at the line's device node.
// Simulators in one runtime folder never share a name: a link whose terminal still exists
// belongs to a running meter, and a name is claimed by creating the link, which fails when
// another simulator has just claimed it.
class PortLink {
public:
    PortLink() = default;
    // Removes the link, unless another program has replaced it meanwhile.
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Creates the folder when needed and the link named displayName, replacing a stale link
    // (its terminal gone) of that name. Returns false with a description in *error on failure,
    // a name taken by a running meter included.
    bool publish(const QString& folder, const QString& displayName, const QString& target,
                 QString* error);
    // As publish(), under the first free name of "<stem> (COM<first>)", "<stem> (COM<first+1>)"
    // and so on.
    bool publishFree(const QString& folder, const QString& stem, int first, const QString& target,
                     QString* error);
    QString path() const { return m_path; }
    void remove();

private:
    enum class Claim { Claimed, Taken, Failed };
    Claim claim(const QString& path, const QString& target, QString* error);
    // Checks the name and makes the folder; false with a description in *error.
    static bool usable(const QString& folder, const QString& displayName, QString* error);

    QString m_path;
    QString m_target;
};
