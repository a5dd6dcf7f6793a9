#pragma once

class QAccessibleInterface;
class QObject;

namespace rt {

// Dynamic properties a line edit's accessible object reads for its label relations.
inline constexpr const char *LabelledByProperty = "rt_accessibleLabelledBy";
inline constexpr const char *LabelForProperty = "rt_accessibleLabelFor";

// The accessible object for a QLineEdit, or null for anything else.
QAccessibleInterface *LineEditAccessibleFor(QObject *object);

} // namespace rt
