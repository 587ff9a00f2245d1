#include "ui/statusdotlook.h"

StatusDotLook StatusDotLook::make(StatusTone tone)
{
    return {toneColour(tone), tone == StatusTone::live || tone == StatusTone::busy};
}
