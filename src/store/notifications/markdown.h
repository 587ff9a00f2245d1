#pragma once

#include <QString>

// Timeline texts carry a little markdown (emphasis, code spans, links); the feed shows plain text.
namespace Markdown {

QString strip(const QString &text);

} // namespace Markdown
