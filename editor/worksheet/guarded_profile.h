// The web engine's profile for the worksheet process: nothing kept on disk, the engine's
// settings for local content, and every request checked against PageMayLoad for the folder of
// the page last loaded through Load.
#pragma once

#include <QString>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

class QWebEnginePage;

namespace radevir {

class PageFolderGuard final : public QWebEngineUrlRequestInterceptor {
  public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void SetFolder(const QString& folder) { folder_ = folder; }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

  private:
    QString folder_;
};

class GuardedProfile final : public QWebEngineProfile {
  public:
    explicit GuardedProfile(QObject* parent = nullptr);
    ~GuardedProfile() override;  // delete the profile's pages first
    // Loads the page file into `page` (made on this profile); from now on the page may read its
    // own folder only.
    void Load(QWebEnginePage& page, const QString& pageFile);

  private:
    PageFolderGuard guard_;
};

}  // namespace radevir
