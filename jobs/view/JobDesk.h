#pragma once
// The job beside the workshop view: a panel with the job's form (vehicle,
// customer, mechanic, notes), "Vorher" and "Nachher" taken from the readings
// the view shows, the report, and "last time" for a vehicle already on
// record. Every capture and report saves the job to the history.
#include <QDockWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "CaptureModel.h"
#include "JobDatabase.h"
#include "JobRecord.h"
#include "TextCatalogue.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

namespace qv::jobs {

class JobDesk : public QDockWidget {
  Q_OBJECT
 public:
  struct Places {
    std::filesystem::path database = JobDatabase::DefaultPath();
    std::filesystem::path reports;   // empty: DefaultReportFolder()
    std::filesystem::path settings;  // empty: JobSettingsPath()
  };
  // `confirm` is asked before a damaged or foreign database is moved aside
  // (the question's text); `open` shows a written report (the desktop's viewer).
  JobDesk(Language lang, Places places, std::function<bool(const QString&)> confirm,
          std::function<void(const QString&)> open, QWidget* parent = nullptr);
  ~JobDesk() override;

  // A reading as the view shows it, at the session's time.
  void Feed(double seconds, const workshop::Reading& reading);

  void TakeBefore();
  void TakeAfter();
  void WriteReport();
  void NewJob();

  [[nodiscard]] const Job& Current() const { return job_; }
  [[nodiscard]] QString StatusText() const;
  [[nodiscard]] QString LastTimeText() const;
  [[nodiscard]] JobDatabase* Database() const { return db_.get(); }
  // The form's fields, for the window's tests and for reopening a job.
  [[nodiscard]] QLineEdit* Registration() const { return registration_; }
  void SetVehicle(const Vehicle& v);
  void SetPeople(const std::string& customer, const std::string& mechanic, const std::string& notes);

 private:
  void OpenDatabase();
  void Take(CaptureKind kind);
  void FromForm();
  bool Save();
  void ShowJob();
  void Say(const QString& text);
  void LookUpVehicle(const QString& typed);

  Language lang_;
  Places places_;
  std::function<bool(const QString&)> confirm_;
  std::function<void(const QString&)> open_;
  std::unique_ptr<JobDatabase> db_;
  CaptureModel capture_;
  Job job_;
  QLineEdit* make_ = nullptr;
  QLineEdit* model_ = nullptr;
  QLineEdit* registration_ = nullptr;
  QLineEdit* vin_ = nullptr;
  QLineEdit* odometer_ = nullptr;
  QLineEdit* customer_ = nullptr;
  QLineEdit* mechanic_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  QLabel* before_ = nullptr;
  QLabel* after_ = nullptr;
  QLabel* last_time_ = nullptr;
  QLabel* status_ = nullptr;
  QStringListModel* known_ = nullptr;
};

}  // namespace qv::jobs
