// Pupils' results are personal data of minors: every folder the program makes is for its
// owner alone (0700) and every file it writes too (0600), whatever the umask of the session
// that started it, so another account of a lab computer reads none of them. Every writer of
// the program goes through these few calls.
#pragma once

#include <QString>

class QFileDevice;

namespace qv {

// Sets the process's umask to 077, for what a library creates on its own (lock files, say).
void privateUmask();

// Makes the folder and any missing parents; the folder itself ends owner-only (0700), and
// so do the parents made here. false when it cannot be made or is not a folder.
bool makePrivateFolder(const QString &path);

// Prepares `path` for a writer that opens it afterwards (SQLite, the PDF printer): a missing
// file is created empty and owner-only (0600); an existing one loses every permission of
// group and others. A symbolic link is never followed. false when it cannot be created or
// is not a file; a file system without owners (a FAT stick), which refuses every mode, is no
// failure: there the mount decides who reads.
bool preparePrivateFile(const QString &path);

// An open file (QFile, QSaveFile before its commit) made owner-only (0600) where the file
// system keeps modes; false only for a file that is not open.
bool makePrivate(QFileDevice &file);

// Takes away the permissions of group and others from an existing folder, the folders in
// it and every file in them; the owner's own are left as they are (a write-protected file
// stays so). Symbolic links are left alone. For a data folder made by an earlier version.
void tightenFolder(const QString &folder);

} // namespace qv
