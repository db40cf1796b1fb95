#include "editor/worksheet/guarded_profile.h"

#include <QFileInfo>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include "editor/worksheet/page_access.h"

namespace radevir {

void PageFolderGuard::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!PageMayLoad(info.requestUrl(), folder_)) info.block(true);
}

GuardedProfile::GuardedProfile(QObject* parent) : QWebEngineProfile(parent) {
    // a profile without a storage name keeps nothing on disk: no cache a page could fill
    setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QWebEngineSettings* s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);  // the sheet is drawn by script
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // the engine's own switch would keep a page from even its pictures beside it; the guard
    // below lets it have its own folder and nothing else
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    setUrlRequestInterceptor(&guard_);
}

GuardedProfile::~GuardedProfile() {
    setUrlRequestInterceptor(nullptr);
}

void GuardedProfile::Load(QWebEnginePage& page, const QString& pageFile) {
    const QFileInfo file(pageFile);
    guard_.SetFolder(file.absolutePath());
    page.load(QUrl::fromLocalFile(file.absoluteFilePath()));
}

}  // namespace radevir
