#pragma once

#include <string>

namespace vantrell {

// The name of a backup of fileName in folder: generation 0 is the newest
// ("name.bak"), generations 1.. the older ones ("name.bk1", ...).
std::string BackupName(const std::string& folder, const std::string& fileName, int generation);

// Keeps up to `generations` backups of an existing file: the older ones move
// down one number (the oldest is deleted when all numbers are taken) and the
// file is copied to the ".bak" name. The backups go to backupFolder when it is
// not empty, else beside the file. Returns the result of the final copy.
bool MakeBackup(const std::string& path, int generations, const std::string& backupFolder);

}  // namespace vantrell
