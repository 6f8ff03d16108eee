#include "musiclibrary/ITunes.h"

namespace musiclibrary {

LibraryError::LibraryError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}

} // namespace musiclibrary
