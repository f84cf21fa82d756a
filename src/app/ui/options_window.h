#pragma once
// "Lyricade 2.0 Options": the host's switches, each taking effect the moment
// it changes. Modeless; the program keeps one.

#include <QCheckBox>
#include <QSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

namespace lyricade {

class AppSettings;

struct OptionsHooks {
  // "Auto Manage Ambients" turned on while no song plays: the next
  // break-music track starts.
  std::function<void()> ambientsSwitchedOn;
  // "Add Custom...": asks for a picture and loads it as the next custom logo;
  // returns its display name, or empty when nothing was added.
  std::function<std::string()> addCustomLogo;
  // The custom logos' names, in order.
  std::function<std::vector<std::string>()> customLogos;
  // A custom logo chosen (list box entry, 2 upwards): loads it; false when
  // it did not load.
  std::function<bool(int entry)> chooseCustomLogo;
  // "Remove..." on a list box entry; true when a logo was removed.
  std::function<bool(int entry)> removeCustomLogo;
  // "Customize Announce Singer...": the Announce Options dialog, modal,
  // owned by the options window.
  std::function<void(QWidget* owner)> customizeAnnounce;
  // "Show the request page's code on the singers' screen" changed.
  std::function<void()> requestCodeChanged;
  // "Preferred Makers" or "Group Versions" changed.
  std::function<void()> versionsChanged;
};

class OptionsWindow : public QDialog {
  Q_OBJECT

public:
  static constexpr const char* kCaption = "Lyricade 2.0 Options";

  OptionsWindow(AppSettings& settings, OptionsHooks hooks, QWidget* parent = nullptr);

  // Every control shows its setting again (the window is shown anew).
  void Reload();

  QCheckBox* Check(const QString& caption) const;
  QComboBox* TickerLoops() const { return tickerLoops_; }
  QComboBox* TimerInterval() const { return timerInterval_; }
  QComboBox* SingerCount() const { return singerCount_; }
  QComboBox* BackgroundLogo() const { return backgroundLogo_; }
  QPushButton* RemoveLogoButton() const { return removeLogo_; }
  QCheckBox* StartRequestServerBox() const { return startRequestServer_; }
  QCheckBox* RequestCodeOnScreenBox() const { return requestCodeOnScreen_; }
  QLineEdit* PreferredMakersBox() const { return preferredMakers_; }

private:
  QCheckBox* AddCheck(const QString& caption, std::atomic<bool>& setting);
  void FillBackgroundLogos();
  void KeepPlayingChanged(bool on);

  AppSettings& settings_;
  OptionsHooks hooks_;
  std::vector<std::pair<QCheckBox*, std::atomic<bool>*>> checks_;
  QComboBox* tickerLoops_ = nullptr;
  QComboBox* timerInterval_ = nullptr;
  QComboBox* singerCount_ = nullptr;
  QSpinBox* levelTarget_ = nullptr;
  QSpinBox* endMargin_ = nullptr;
  QComboBox* backgroundLogo_ = nullptr;
  QPushButton* removeLogo_ = nullptr;
  QCheckBox* startRequestServer_ = nullptr;
  QCheckBox* requestCodeOnScreen_ = nullptr;
  QLineEdit* preferredMakers_ = nullptr;
  bool loading_ = false;
};

}  // namespace lyricade
