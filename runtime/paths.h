// Where the files delivered with the program are: beside it in a build
// folder (bin/Data/...), or under share/varin of the prefix it was installed
// into (bin/../share/varin/Data/...). Both are found from the program's own
// location, so a staged or moved installation works as well.
#pragma once

#include <QString>

// The first of the two places that holds `relative`; the one beside the
// program when neither does.
QString ShippedFile(const QString& relative);
