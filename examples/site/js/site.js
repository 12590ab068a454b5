// Marks the page as read in the reader's own browser; nothing is sent anywhere.
document.addEventListener("DOMContentLoaded", function () {
  document.body.setAttribute("data-read", "yes");
});
