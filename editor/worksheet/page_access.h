// What a page in the worksheet window may load: a teacher may open any HTML file there, with
// its scripts running (and, for root, without the engine's sandbox), so a page reads nothing
// outside its own folder and reaches nothing on the network, whatever it holds.
#pragma once

#include <QString>
#include <QUrl>

namespace radevir {

// True for what the page may load: data that lives in the page itself (data:, blob:, about:)
// and files inside `pageFolder` (the folder of the page shown; links resolved). Everything else
// — http(s), web sockets, file URLs elsewhere or on another host — is refused.
bool PageMayLoad(const QUrl& request, const QString& pageFolder);

}  // namespace radevir
