#pragma once
// The history window: every job, newest first, searched by registration,
// make or customer as it is typed, and a job's report opened again.
#include <QWidget>
#include <functional>

#include "JobDatabase.h"
#include "TextCatalogue.h"

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace qv::jobs {

class JobHistory : public QWidget {
  Q_OBJECT
 public:
  // `db` must outlive the window; `open` shows a report (the desktop's viewer).
  JobHistory(JobDatabase& db, Language lang, std::function<void(const QString&)> open, QWidget* parent = nullptr);

  void Refresh();
  // Opens the report of the selected job, or says there is none.
  void OpenSelected();
  [[nodiscard]] QLineEdit* Search() const { return search_; }
  [[nodiscard]] QTreeWidget* List() const { return list_; }
  [[nodiscard]] QString StatusText() const;

 private:
  JobDatabase& db_;
  Language lang_;
  std::function<void(const QString&)> open_;
  QLineEdit* search_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace qv::jobs
