// The organisation's home page: opened by the web launcher and by the
// installer's web link. One value for both programs.
#pragma once

constexpr char kSiteAddress[] = "http://www.verbalia.cat/";
