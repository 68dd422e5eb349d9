#include "JobHistory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "JobFormat.h"
#include "JobTexts.h"
#include "JobViewText.h"

namespace qv::jobs {
namespace {

// The list shows this many; the search finds the rest.
constexpr int kShown = 500;

}  // namespace

JobHistory::JobHistory(JobDatabase& db, Language lang, std::function<void(const QString&)> open, QWidget* parent)
    : QWidget(parent, Qt::Window), db_(db), lang_(lang), open_(std::move(open)) {
  auto t = [this](JobTextId id) { return Q(std::string(JobText(id, lang_))); };
  setObjectName(QStringLiteral("jobHistory"));
  setWindowTitle(t(JobTextId::kHistory));
  resize(900, 520);
  auto* column = new QVBoxLayout(this);
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(t(JobTextId::kSearch));
  search_->setClearButtonEnabled(true);
  column->addWidget(search_);
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("#"), t(JobTextId::kDate), t(JobTextId::kVehicle), t(JobTextId::kRegistration),
                          t(JobTextId::kCustomer), t(JobTextId::kVerdict), t(JobTextId::kReportFile)});
  column->addWidget(list_);
  auto* row = new QHBoxLayout;
  auto* openButton = new QPushButton(t(JobTextId::kOpenReport), this);
  row->addWidget(openButton);
  status_ = new QLabel(this);
  row->addWidget(status_, 1);
  column->addLayout(row);
  connect(search_, &QLineEdit::textChanged, this, &JobHistory::Refresh);
  connect(openButton, &QPushButton::clicked, this, &JobHistory::OpenSelected);
  connect(list_, &QTreeWidget::itemActivated, this, &JobHistory::OpenSelected);
  Refresh();
}

void JobHistory::Refresh() {
  list_->clear();
  try {
    for (const JobSummary& j : db_.List(search_->text().trimmed().toStdString(), kShown)) {
      std::string verdict;
      if (j.hasAfter) verdict = JobText(j.afterInSync ? JobTextId::kInSync : JobTextId::kNotInSync, lang_);
      auto* item =
          new QTreeWidgetItem(list_, {QString::number(j.id), Q(j.created), Q(j.vehicle.make + " " + j.vehicle.model),
                                      Q(j.vehicle.registration.empty() ? j.vehicle.vin : j.vehicle.registration),
                                      Q(j.customer), Q(verdict), Q(j.reportPath)});
      item->setData(0, Qt::UserRole, Q(j.reportPath));
    }
    status_->clear();
  } catch (const std::exception& e) {
    status_->setText(Q(JobText(JobTextId::kNoHistory, lang_, {e.what()})));
  }
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
}

void JobHistory::OpenSelected() {
  const QTreeWidgetItem* item = list_->currentItem();
  const QString path = item ? item->data(0, Qt::UserRole).toString() : QString();
  if (path.isEmpty()) {
    status_->setText(Q(std::string(JobText(JobTextId::kNoReport, lang_))));
    return;
  }
  status_->clear();
  if (open_) open_(path);
}

QString JobHistory::StatusText() const { return status_->text(); }

}  // namespace qv::jobs
