#include "capture/measurewindow.h"

#include "capture/history.h"
#include "link/frameplacement.h"
#include "platform/chartsettings.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <span>

namespace {

constexpr int RefreshInterval = 100;  // ms

QString Shown(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

TformMeasure::TformMeasure(const SampleHistory& history, const DisplaySettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), history(history), settings(settings) {
  setWindowTitle("Measurements");
  auto* grid = new QGridLayout(this);
  cbSource = new QComboBox;
  for (MeasureSource source : {MeasureSource::Iq, MeasureSource::I, MeasureSource::Q})
    cbSource->addItem(SourceName(source), QVariant::fromValue(int(source)));
  rows = MeasurementRows(std::nullopt, MeasureSource::Iq, 0);
  grid->addWidget(new QLabel(Shown(rows[0].name)), 0, 0);
  grid->addWidget(cbSource, 0, 1);
  for (int r = 1; r < int(rows.size()); ++r) {
    grid->addWidget(new QLabel(Shown(rows[r].name)), r, 0);
    values.push_back(new QLabel);
    values.back()->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(values.back(), r, 1);
  }
  btCopy = new QPushButton("Copy");
  grid->addWidget(btCopy, int(rows.size()), 0, 1, 2);
  grid->setColumnMinimumWidth(1, fontMetrics().horizontalAdvance("-00.00000 kHz (bin 0000)"));
  connect(cbSource, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
  connect(btCopy, &QPushButton::clicked, this, [this] { btCopyClick(); });
  due.setSingleShot(true);
  connect(&due, &QTimer::timeout, this, [this] { Refresh(); });
  PlaceFrame(this, Beside(parent));
}

void TformMeasure::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) Refresh();
}

void TformMeasure::BlockShown() {
  if (!isVisible() || due.isActive()) return;
  const qint64 since = sinceRefresh.isValid() ? sinceRefresh.elapsed() : RefreshInterval;
  if (since >= RefreshInterval)
    Refresh();
  else
    due.start(int(RefreshInterval - since));
}

void TformMeasure::Refresh() {
  sinceRefresh.start();
  const auto source = MeasureSource(cbSource->currentData().toInt());
  const int blocks = MeasuredBlocks(history, settings.Average);
  const auto samples = std::size_t(blocks) * BlockLength;
  rows = MeasurementRows(blocks ? std::optional(Measure(std::span(history.HistoryI).first(samples),
                                                        std::span(history.HistoryQ).first(samples), source,
                                                        settings.FreqMHz * 1e6))
                                : std::nullopt,
                         source, blocks);
  for (int r = 1; r < int(rows.size()); ++r) values[r - 1]->setText(Shown(rows[r].value));
}

QString TformMeasure::Text() const { return Shown(MeasurementText(rows)); }

void TformMeasure::btCopyClick() { QApplication::clipboard()->setText(Text()); }
