// The application's icon: two overlapping screens.
#pragma once

#include <QIcon>

namespace seam {

QIcon applicationIcon();

}  // namespace seam
