#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where a page of a site is saved in the book: in folders that follow the site's path below
// the scope's folder, named for the address's last part (its ending dropped, "index" for a
// folder's own page, the query kept behind "_"); with `flat`, every page in one folder, the
// folders of its path in its name.
namespace wisp {

struct SitePagePlace {
    std::vector<std::string> folders;  // from the crawl's folder down
    std::string name;                  // the page's name, without ".htm"
};

SitePagePlace PlaceOfSitePage(std::string_view url, std::string_view scopePrefix, bool flat);

}  // namespace wisp
