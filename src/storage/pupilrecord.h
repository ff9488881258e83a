// The pupil record: thirty fields, in their stored order (positions count).
#pragma once

#include <QStringList>

namespace qv {

inline constexpr int kPupilFieldCount = 30;
inline constexpr int kNameMaxLength = 50;

// nome, data, arrivo, sub, lessico1 … tempolitica.
const QStringList &pupilFields();

// Progress code of a complete record.
inline constexpr int kArrivoComplete = 10;
inline constexpr int kSubComplete = 20;

} // namespace qv
