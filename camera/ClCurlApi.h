#pragma once

#include <curl/curl.h>

// The functions of the HTTP library that a transfer calls, looked up in the process-wide handle
// (ClCurlLibrary) for every transfer: the library is loaded at run time and may be unloaded again,
// so no pointer outlives the transfer that looked it up.
class ClCurlApi
{
public:
    using FnEasyInit = CURL* (*)();
    using FnEasySetopt = CURLcode (*)(CURL*, CURLoption, ...);
    using FnEasyCleanup = void (*)(CURL*);
    using FnSlistFreeAll = void (*)(curl_slist*);
    using FnSlistAppend = curl_slist* (*)(curl_slist*, const char*);
    using FnEasyGetinfo = CURLcode (*)(CURL*, CURLINFO, ...);
    using FnEasyPerform = CURLcode (*)(CURL*);

    // False while the library is not loaded or lacks one of the functions; the pointers are only
    // usable after true.
    bool resolve();

    FnEasyInit fnEasyInit = nullptr;
    FnEasySetopt fnEasySetopt = nullptr;
    FnEasyCleanup fnEasyCleanup = nullptr;
    FnSlistFreeAll fnSlistFreeAll = nullptr;
    FnSlistAppend fnSlistAppend = nullptr;
    FnEasyGetinfo fnEasyGetinfo = nullptr;
    FnEasyPerform fnEasyPerform = nullptr;
};
