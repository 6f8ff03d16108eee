#include "mainwindow/TrackDetailsView.h"

namespace mainwindow {

TrackDetailsPlaceholder::TrackDetailsPlaceholder(QWidget* parent) : QWidget(parent) {}

} // namespace mainwindow
